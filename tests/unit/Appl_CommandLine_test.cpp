#include "app/Appl_CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct CommandLineCase {
  const char* name;
  std::vector<std::string> arguments;
  bool autoUpdate;
  std::string installDir;
};

const CommandLineCase kCases[] = {
    {"NoArguments", {}, false, ""},
    {"SwitchAlone", {"/autoupdate"}, false, ""},
    {"SwitchWithBlanksOnly", {"/autoupdate", "  "}, false, ""},
    {"SwitchAndFolder", {"/autoupdate", "C:\\Fotelix"}, true, "C:\\Fotelix\\"},
    {"FolderAlreadyEndsInBackslash", {"/autoupdate", "C:\\Fotelix\\"}, true, "C:\\Fotelix\\"},
    // The platform splits an unquoted folder with a blank in two; joining
    // puts it back together. The folder keeps its own letter case.
    {"MixedCaseSwitchSplitFolder", {"/AutoUpdate", "C:\\Program", "Files\\FoTeLiX"}, true,
     "C:\\Program Files\\FoTeLiX\\"},
    {"QuotedFolderWithBlank", {"/AUTOUPDATE", "D:\\My Apps\\Fotelix"}, true,
     "D:\\My Apps\\Fotelix\\"},
    {"ControlCharactersAroundAreTrimmed", {"\t/autoupdate", "C:\\F\r\n"}, true, "C:\\F\\"},
    {"SwitchNotFirst", {"-x", "/autoupdate", "C:\\F"}, false, ""},
    {"SwitchWithoutSeparatingBlank", {"/autoupdateC:\\F"}, false, ""},
    {"OtherArgument", {"/silent"}, false, ""},
};

class CommandLineTest : public testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLineTest, SetsOnlyWhatTheSwitchAsksFor) {
  const CommandLineCase& c = GetParam();
  TSetupState state;
  ReadCommandLine(c.arguments, state);
  EXPECT_EQ(state.AutoUpdate, c.autoUpdate);
  EXPECT_EQ(state.InstallDir, c.installDir);
  EXPECT_EQ(state.ConnectionKind, kConnectionUnknown);
}

INSTANTIATE_TEST_SUITE_P(Cases, CommandLineTest, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<CommandLineCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace

namespace {

// The whole command line as Windows hands it over, split and then read.
TEST(CommandLineArgumentsTest, SplitsAtBlanksAndGroupsByQuotes) {
  struct Case {
    std::string line;
    std::vector<std::string> arguments;
    std::string installDir;  // after ReadCommandLine; empty without the switch
  };
  const Case cases[] = {
      {"", {}, ""},
      {"\"C:\\fx test\\Install_Fotelix.exe\"", {}, ""},
      // As the product passes its folder: unquoted, with a blank.
      {"\"C:\\fx test\\Install_Fotelix.exe\" /autoupdate C:\\Program Files\\Fotelix",
       {"/autoupdate", "C:\\Program", "Files\\Fotelix"},
       "C:\\Program Files\\Fotelix\\"},
      // A backslash before the closing quote is a plain character.
      {"Install_Fotelix.exe /autoupdate \"C:\\Program Files\\Fotelix\\\"",
       {"/autoupdate", "C:\\Program Files\\Fotelix\\"},
       "C:\\Program Files\\Fotelix\\"},
      {"Install_Fotelix.exe  \t/AUTOUPDATE\t \"D:\\Apps\"\\Fx  ", {"/AUTOUPDATE", "D:\\Apps\\Fx"},
       "D:\\Apps\\Fx\\"},
      // An empty argument joins as a blank, which is trimmed away.
      {"setup.exe \"\" /autoupdate C:\\F", {"", "/autoupdate", "C:\\F"}, "C:\\F\\"},
      {"setup.exe a\"b c\"d \"unclosed  blank", {"ab cd", "unclosed  blank"}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const std::vector<std::string> arguments = CommandLineArguments(c.line);
    EXPECT_EQ(arguments, c.arguments);
    TSetupState state;
    ReadCommandLine(arguments, state);
    EXPECT_EQ(state.InstallDir, c.installDir);
    EXPECT_EQ(state.AutoUpdate, !c.installDir.empty());
  }
}

}  // namespace
