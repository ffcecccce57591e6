#include "install/UninstallPlan.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "install/UninstallRemover.h"
#include "unit/Uninstaller_fixture.h"

namespace {

TEST_F(UninstallerTest, AHostileLogRemovesNothingOutsideTheInstallation) {
  const std::string dir = "C:\\Apps\\Fotelix\\";
  MapDrive('N', TDriveType::Remote);
  MakeFile("N:\\Fotelix.Exe", "on the network");
  MakeFile(dir + "Uninstall.Exe", "MZ");
  MakeFile(dir + "Docs\\thesis.doc", "behind what might be a link");
  MakeFile("C:\\x", "a file at the root");
  // Folders with names that setup would remove from a folder of its own.
  MakeFile("C:\\Users\\Ann\\Documents\\Fotelix.Dat", "another program's");
  MakeFolder("C:\\Users\\Ann\\Documents\\cache");
  MakeFolder("C:\\Config.Msi");
  MakeFolder("C:\\ProgramData\\Other\\Queue");
  const char* const notOurs =
      "is neither this user's data folder of Fotelix nor the folder of this uninstaller";
  struct Row {
    const char* line;
    const char* refusal;  // nullptr: the line is acted on
  };
  const Row rows[] = {
      {"<EC:\\>", "is the root of a drive"},
      {"<DC:\\>", "is the root of a drive"},
      {"<EC:\\Users\\Ann\\Documents\\>", "is not the folder of this uninstaller"},
      {"<EC:\\Apps\\Fotelix>", "is not a folder"},
      {"<EC:\\Apps\\Fotelix\\>", nullptr},
      // A data folder only where an install makes one for this user, or in
      // the installation folder when it could not.
      {"<DC:\\users\\ann\\local settings\\FOTELIX\\>", nullptr},
      {"<DC:\\APPS\\Fotelix\\>", nullptr},
      {"<DC:\\users\\>", notOurs},
      {"<DC:\\Users\\Ann\\Local Settings\\>", notOurs},
      {"<DC:\\Users\\Bob\\Local Settings\\Fotelix\\>", notOurs},
      {"<DC:\\Users\\Ann\\Documents\\>", notOurs},
      {"<DC:\\Users\\Ann\\Documents\\cache\\>", notOurs},
      {"<DC:\\Config.Msi\\>", notOurs},
      {"<DC:\\ProgramData\\Other\\Queue\\>", notOurs},
      {"<F..\\..\\x>", "is not a full path on a local drive"},
      {"<FC:\\Apps\\Fotelix\\..\\..\\x>", "holds \"..\""},
      {"<FC:\\Users\\Ann\\Documents\\thesis.doc>", "is not a file of the installation or data folder"},
      {"<FC:\\Apps\\Fotelix\\Docs\\thesis.doc>", "is not a file of the installation or data folder"},
      {"<FC:\\Apps\\Fotelix\\*.*>", "holds a name that is not a plain file name"},
      {"<FC:\\Apps\\Fotelix\\Uninstall.Exe:x>", "holds a name that is not a plain file name"},
      {"<FN:\\Fotelix.Exe>", "is not on a local drive"},
      {"<FC:\\Apps\\Fotelix\\>", "is not a file"},
      {"<F>", "is not a full path on a local drive"},
      {"<RSoftware>", "is not the uninstall entry of Fotelix"},
      {"<RSoftware\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other>", "is not the uninstall entry"},
      {"<SAccessories>", "is not the Start-menu group of Fotelix"},
      {"<S..\\Programs>", "is not the Start-menu group"},
      {"<Tnotes.txt>", "is not the desktop link of Fotelix"},
      {"<FC:\\Apps\\Fotelix\\Uninstall.Exe", "is not a line of an uninstall log"},
      {"<XC:\\x>", "is not a line of an uninstall log"},
      {"<fC:\\x>", "is not a line of an uninstall log"},
      {"FC:\\x", "is not a line of an uninstall log"},
  };
  std::string text = "Fotelix\r\n";
  for (const Row& row : rows) text += std::string(row.line) + "\n";
  MakeFile(dir + "UnInstall.dat", text);
  const std::set<std::string> before = Snapshot();

  const TUninstallPlan plan = Plan(dir);
  const std::string report = UninstallReport(plan, CarryOut(*os_, plan));
  EXPECT_EQ(Snapshot(), before);
  size_t refusals = 0;
  for (const Row& row : rows) {
    const std::string quoted = "\"" + std::string(row.line) + "\"";
    const std::string refusal = row.refusal ? quoted + " " + row.refusal : quoted;
    EXPECT_EQ(std::count_if(plan.Refused.begin(), plan.Refused.end(),
                            [&](const std::string& r) { return r.rfind(refusal, 0) == 0; }),
              row.refusal ? 1 : 0)
        << refusal;
    refusals += row.refusal != nullptr;
  }
  EXPECT_EQ(plan.Refused.size(), refusals);
  // The folder stays, being far from empty, and is said to.
  EXPECT_EQ(report.rfind("Fotelix could not be removed completely. These are still there:\r\n" + dir +
                             "\r\n\r\nThese lines of the uninstall log were left alone:\r\n",
                         0),
            0u)
      << report;

  // A log of another product, or none at all, stops everything before it starts.
  MakeFile(dir + "UnInstall.dat", "Other\r\n<EC:\\Apps\\Fotelix\\>\r\n");
  EXPECT_THROW(Plan(dir), std::runtime_error);
  ASSERT_TRUE(os_->TryRemoveFile(dir + "UnInstall.dat"));
  EXPECT_THROW(Plan(dir), EPlatformError);
}

TEST_F(UninstallerTest, AHugeOrRepetitiveLogCostsLittleAndGivesAShortReport) {
  // At the limit: the install's own lines over and over, with junk between.
  MakeFile(kInstallDir + "Uninstall.Exe", "MZ");
  const size_t limit = 64 * 1024;
  const std::string repeated = "<E" + kInstallDir + ">\r\n<F" + kInstallDir + "Uninstall.Exe>\r\njunk\r\n";
  std::string text = "Fotelix\r\n";
  size_t junk = 0;
  for (; text.size() + repeated.size() <= limit; ++junk) text += repeated;
  text += std::string(limit - text.size(), 'j');
  MakeFile(kInstallDir + "UnInstall.dat", text);

  const TUninstallPlan plan = Plan(kInstallDir);
  EXPECT_EQ(plan.Steps.size(), 2u);
  std::string expected = "Fotelix could not be removed completely. These are still there:\r\n" + kInstallDir +
                         "\r\n\r\nThese lines of the uninstall log were left alone:";
  for (int i = 0; i < 20; ++i) expected += "\r\n\"junk\" is not a line of an uninstall log";
  expected += "\r\n... and " + std::to_string(junk + 1 - 20) + " more";
  EXPECT_EQ(UninstallReport(plan, CarryOut(*os_, plan)), expected);
  EXPECT_FALSE(os_->FileExists(kInstallDir + "Uninstall.Exe"));
  std::string stayed = "Fotelix could not be removed completely. These are still there:";
  for (int i = 0; i < 20; ++i) stayed += "\r\nC:\\x";
  EXPECT_EQ(UninstallReport(TUninstallPlan(), std::vector<std::string>(21, "C:\\x")),
            stayed + "\r\n... and 1 more");

  // One byte more, and the log is damaged: nothing is planned at all.
  MakeFile(kInstallDir + "UnInstall.dat", text + "\n");
  try {
    Plan(kInstallDir);
    ADD_FAILURE() << "a log beyond the limit was read";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()), "\"" + kInstallDir +
                                         "UnInstall.dat\" is damaged: it is longer than any uninstall log of "
                                         "Fotelix.");
  }
}

}  // namespace
