#include "lib/LIB_FolderName.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

struct FolderCase {
  std::string text;
  bool valid;
};

// Keeps the test names readable: the text, with bytes outside ASCII as hex.
void PrintTo(const FolderCase& c, std::ostream* os) {
  *os << (c.valid ? "valid " : "invalid ") << '"';
  for (unsigned char ch : c.text) {
    if (ch >= 32 && ch < 127)
      *os << ch;
    else
      *os << "\\x" << std::hex << int{ch} << std::dec;
  }
  *os << '"';
}

class FolderNameTest : public testing::TestWithParam<FolderCase> {};

TEST_P(FolderNameTest, JudgesTheFormOnly) {
  const FolderCase& c = GetParam();
  EXPECT_EQ(IsValidFolderName(c.text), c.valid) << '[' << c.text << ']';
}

const FolderCase kCases[] = {
    // Accepted forms.
    {"c:\\", true},  // a root passes here; the pages refuse it themselves
    {"C:\\Program Files\\Fotelix\\", true},
    {"z:\\data", true},
    {"C:\\Bilder\\\xE4\xF6\xFC", true},  // ANSI bytes above 127
    {"C:\\tab\tinside", true},  // control characters only count at the ends
    {"C:\\.config\\a.b\\ x\\", true},  // dots and blanks inside a name
    // Names that the system would cut or resolve to another folder.
    {"C:\\Apps.\\Fotelix\\", false},
    {"C:\\Apps \\Fotelix", false},
    {"C:\\data.", false},
    {"C:\\data\\..\\Windows", false},
    {"C:\\.\\data", false},
    {"C:\\data\\...\\", false},
    // A drive that is not a letter; the vertical bar.
    {"1:\\data", false},
    {"?:\\data", false},
    {"\xC4:\\data", false},
    {"C:\\a|b", false},
    // Too short or without the drive prefix.
    {"", false},
    {"C:", false},
    {"C", false},
    {"C:data", false},
    {"C:/data", false},
    {"Cx\\data", false},
    {"\\\\server\\share", false},
    // Doubled separators anywhere.
    {"C:\\\\data", false},
    {"C:\\data\\\\pics", false},
    {"C:\\data\\\\", false},
    // The forbidden set after the prefix.
    {"C:\\data?", false},
    {"C:\\data:2", false},
    {"C:\\da\"ta", false},
    {"C:\\da*ta", false},
    {"C:\\da<ta", false},
    {"C:\\da>ta", false},
    {"C:\\da/ta", false},
    // Blanks and control characters at the ends are refused, not trimmed.
    {" C:\\data", false},
    {"C:\\data ", false},
    {"C:\\data\r", false},
    {"\tC:\\data", false},
    {"   ", false},
    {std::string("C:\\data\0", 8), false},
};

INSTANTIATE_TEST_SUITE_P(Cases, FolderNameTest, testing::ValuesIn(kCases));

}  // namespace
