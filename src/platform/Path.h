#pragma once
#include <string>
#include <vector>

// Windows paths as text ("C:\Program Files\Fotelix\"), for every layer: what
// the system would make of a path is TPlatform's to tell; these only take
// the text apart and put it together. Only the letters A to Z have a case,
// as in the system's comparison of names.

// The folder part of a path, up to and including the last backslash (or the
// colon of a bare drive).
std::string ExtractFilePath(const std::string& path);
// The name part of a path, after the last backslash (or colon).
std::string ExtractFileName(const std::string& path);
// The path with one trailing backslash more, unless it has one already.
std::string WithBackslash(const std::string& folder);
// The path without its trailing backslash, if it has one.
std::string WithoutBackslash(std::string path);
// The folder and the name with one backslash between them: "C:\A" and
// "C:\A\" with "b" both give "C:\A\b".
std::string JoinPath(const std::string& folder, const std::string& name);

// The root of the drive of that letter, in upper case: "C:\".
std::string DriveRoot(char letter);
// Whether path starts at a drive's root: a letter from A to Z in either
// case, a colon and a backslash.
bool StartsAtDriveRoot(const std::string& path);

// The names of path from the left, after its drive ("C:" or "C:\") or its
// leading backslash, as they stand: an empty name stands for two
// backslashes in a row, and a trailing backslash ends the last name without
// adding one. "C:\A\B\" gives A and B, "C:\" none, "C:\A\\B" A, "" and B.
std::vector<std::string> SplitPath(const std::string& path);

// The form in which two spellings of one path compare equal as text: A to Z
// in lower case, without the trailing backslashes after its first three
// characters, so that a drive root keeps its own. Short names and "." or
// ".." need TPlatform::LongPathName first.
std::string PathKey(const std::string& path);
