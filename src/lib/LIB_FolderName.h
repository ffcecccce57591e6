#pragma once
#include <string>

// Whether a folder text has an acceptable form: a drive prefix "?:\", no
// doubled backslash, none of " * / : < > ? after the prefix, and no blank or
// control character at either end. Looks only at the text, never at the disk,
// and does not judge whether it names a drive's root.
bool IsValidFolderName(const std::string& folder);
