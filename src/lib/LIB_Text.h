#pragma once
#include <string>

// Text helpers for the 8-bit strings the pages handle. Only the letters A to
// Z have a case here: the bytes of other code pages are left alone, whatever
// the locale.

// Without the blanks and control characters (codes 0 to 32) at both ends.
std::string Trim(const std::string& text);

// A to Z turned to a to z.
char LowerCase(char c);
std::string LowerCase(std::string text);

// Equal when only the case of A to Z differs.
bool SameText(const std::string& a, const std::string& b);

// The order of names that ignores the case of A to Z: byte by byte as
// unsigned values, a name before its own continuations. Allocates nothing,
// as it runs for every comparison of a sort.
bool LessText(const std::string& a, const std::string& b);
