#include "platform/Path.h"

#include <gtest/gtest.h>

namespace {

struct PathCase {
  const char* path;
  const char* folderPart;
  const char* namePart;
  const char* withBackslash;
  const char* withoutBackslash;
  const char* joined;  // with "x"
  bool atDriveRoot;
  const char* names;   // each in brackets
  const char* key;
};

std::string Bracketed(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += "[" + name + "]";
  return text;
}

TEST(PathTest, TakesPathsApartAndPutsThemTogether) {
  const PathCase cases[] = {
      {"C:\\Program Files\\Fotelix\\", "C:\\Program Files\\Fotelix\\", "", "C:\\Program Files\\Fotelix\\",
       "C:\\Program Files\\Fotelix", "C:\\Program Files\\Fotelix\\x", true, "[Program Files][Fotelix]",
       "c:\\program files\\fotelix"},
      {"c:\\A\\b.txt", "c:\\A\\", "b.txt", "c:\\A\\b.txt\\", "c:\\A\\b.txt", "c:\\A\\b.txt\\x", true, "[A][b.txt]",
       "c:\\a\\b.txt"},
      {"C:\\", "C:\\", "", "C:\\", "C:", "C:\\x", true, "", "c:\\"},
      {"D:", "D:", "", "D:\\", "D:", "D:\\x", false, "", "d:"},
      {"C:\\A\\\\B\\\\", "C:\\A\\\\B\\\\", "", "C:\\A\\\\B\\\\", "C:\\A\\\\B\\", "C:\\A\\\\B\\\\x", true,
       "[A][][B][]", "c:\\a\\\\b"},
      {"\\Fotelix", "\\", "Fotelix", "\\Fotelix\\", "\\Fotelix", "\\Fotelix\\x", false, "[Fotelix]", "\\fotelix"},
      {"1:\\data", "1:\\", "data", "1:\\data\\", "1:\\data", "1:\\data\\x", false, "[data]", "1:\\data"},
      {"C:\\\xC4RGER", "C:\\", "\xC4RGER", "C:\\\xC4RGER\\", "C:\\\xC4RGER", "C:\\\xC4RGER\\x", true, "[\xC4RGER]",
       "c:\\\xC4rger"},
      {"", "", "", "\\", "", "\\x", false, "", ""},
  };
  for (const PathCase& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(ExtractFilePath(c.path), c.folderPart);
    EXPECT_EQ(ExtractFileName(c.path), c.namePart);
    EXPECT_EQ(WithBackslash(c.path), c.withBackslash);
    EXPECT_EQ(WithoutBackslash(c.path), c.withoutBackslash);
    EXPECT_EQ(JoinPath(c.path, "x"), c.joined);
    EXPECT_EQ(StartsAtDriveRoot(c.path), c.atDriveRoot);
    EXPECT_EQ(Bracketed(SplitPath(c.path)), c.names);
    EXPECT_EQ(PathKey(c.path), c.key);
  }
  EXPECT_EQ(DriveRoot('d'), "D:\\");
  EXPECT_EQ(DriveRoot('C'), "C:\\");
}

}  // namespace
