#pragma once
#include <cstddef>
#include <string>

// Whether a folder text has an acceptable form: a drive prefix of a letter,
// ":" and "\", no doubled backslash, none of " * / : < > ? | after the
// prefix, no name that ends in a dot or a blank ("." and ".." among them),
// and no blank or control character at either end. Looks only at the text,
// never at the disk, and does not judge whether it names a drive's root.
bool IsValidFolderName(const std::string& folder);

// The longest folder, without its closing backslash, that setup writes to:
// the folder, a backslash and the longest file name that goes there
// ("Uninstall.Exe") must fit the 259 characters that the ANSI calls of
// Windows take, or the install would fail halfway with "path not found".
constexpr size_t kMaxFolderLength = 245;

// Whether the folder text, a closing backslash aside, is at most kMaxFolderLength long.
bool IsShortEnoughFolder(const std::string& folder);
