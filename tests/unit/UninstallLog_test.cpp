#include "install/UninstallLog.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Each tag reads as it is written, and a line writes back as it was read.
TEST(UninstallLog, ReadsEachTagAndTheOperandUpToTheLastBracket) {
  const TUninstallLog log = ParseUninstallLog(
      "Fotelix\r\n\r\n<FC:\\a>b>\n<R>\r\n<>\r\n< F>\r\n<EC:\\A\\>\r\n<DC:\\D\\>\r\n<SFotelix>\r\n<TFotelix.Lnk>\r\n"
      "<fC:\\x>\r\n<XC:\\x>");
  EXPECT_EQ(log.Product, "Fotelix");
  const struct {
    TUninstallTag tag;
    const char* operand;
    const char* text;
  } lines[] = {
      {TUninstallTag::File, "C:\\a>b", "<FC:\\a>b>"},
      {TUninstallTag::RegistryKey, "", "<R>"},
      {TUninstallTag::InstallFolder, "C:\\A\\", "<EC:\\A\\>"},
      {TUninstallTag::DataFolder, "C:\\D\\", "<DC:\\D\\>"},
      {TUninstallTag::StartMenuGroup, "Fotelix", "<SFotelix>"},
      {TUninstallTag::DesktopLink, "Fotelix.Lnk", "<TFotelix.Lnk>"},
  };
  ASSERT_EQ(log.Lines.size(), std::size(lines));
  for (size_t i = 0; i < log.Lines.size(); ++i) {
    EXPECT_EQ(log.Lines[i].Tag, lines[i].tag) << lines[i].text;
    EXPECT_EQ(log.Lines[i].Operand, lines[i].operand);
    EXPECT_EQ(UninstallLineText(log.Lines[i]), lines[i].text);
  }
  EXPECT_EQ(log.Malformed, (std::vector<std::string>{"<>", "< F>", "<fC:\\x>", "<XC:\\x>"}));
}

}  // namespace
