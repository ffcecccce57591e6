#include "app/Appl_Globals.h"

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
