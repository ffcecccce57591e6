#include "install/UninstallLog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "install/InstallRun.h"
#include "install/Uninstall.h"
#include "unit/HostSim_fixture.h"
#include "unit/RunFakes.h"

namespace {

namespace fs = std::filesystem;

const std::string kLocalAppData = "C:\\Users\\Ann\\Local Settings";
const std::string kPrograms = "C:\\Users\\Ann\\Start Menu\\Programs";
const std::string kDesktop = "C:\\Users\\Ann\\Desktop";
const std::string kInstallDir = "C:\\Program Files\\Fotelix\\";

class UninstallLogTest : public HostSimTest {
 protected:
  void SetUp() override {
    HostSimTest::SetUp();
    for (const auto& [csidl, folder] :
         {std::pair{kCsidlProgramFiles, std::string("C:\\Program Files")},
          std::pair{kCsidlLocalAppData, kLocalAppData}, std::pair{kCsidlPrograms, kPrograms},
          std::pair{kCsidlDesktopDirectory, kDesktop}}) {
      MakeFolder(folder);
      os_->SetShellFolder(csidl, folder, 0);
    }
    // What the user has, which no uninstall may touch.
    MakeFile("C:\\Users\\Ann\\Documents\\thesis.doc", "years of work");
    MakeFile(kDesktop + "\\notes.txt", "notes");
    MakeFile(kPrograms + "\\Accessories\\Paint.Lnk", "link");
    MakeFile("C:\\Users\\Ann\\Pictures\\Holiday\\beach.jpg", "jpeg");
    os_->WriteRegistryString("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other",
                             "DisplayName", "Other");
    state_.InstallDir = kInstallDir;
    state_.DownloadDir = "C:\\Images\\";
    state_.InstallerEdition = "04";
    state_.CreateDesktopShortcut = true;
  }

  // Every path on C: (folders end with "/") with its content, and the registry.
  std::set<std::string> Snapshot() {
    std::set<std::string> items;
    const fs::path drive = os_->HostPath("C:\\");
    for (auto it = fs::recursive_directory_iterator(drive); it != fs::recursive_directory_iterator(); ++it) {
      const std::string name = fs::relative(it->path(), drive).generic_string();
      if (it->is_directory() && !it->is_symlink()) {
        items.insert(name + "/");
      } else {
        std::ifstream in(it->path(), std::ios::binary);
        std::ostringstream content;
        content << in.rdbuf();
        items.insert(name + "=" + content.str());
      }
    }
    items.insert("registry=" + Registry());
    return items;
  }

  std::string Registry() {
    std::ifstream in(os_->RegistryFile(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

  TUninstallPlan Plan(const std::string& installDir) {
    return PlanUninstall(*os_, ReadUninstallLog(*os_, installDir), installDir);
  }

  TSetupState state_;
};

TEST_F(UninstallLogTest, AnInstallIsRemovedWithoutATraceWhateverItsDataFolder) {
  struct Case {
    const char* name;
    bool dataFolderFails;  // the data folder falls back to the installation folder
  };
  for (const Case& c : {Case{"own data folder", false}, Case{"data in the installation folder", true}}) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    if (c.dataFolderFails) os_->FailCreateFolder(kLocalAppData + "\\Fotelix\\");
    const std::set<std::string> before = Snapshot();

    TFakeRunBar bar;
    TFakeRunLabel label;
    RunInstall(*os_, state_, bar, label);
    ASSERT_TRUE(os_->FileExists(kPrograms + "\\Fotelix\\Uninstall Fotelix.Lnk"));
    ASSERT_TRUE(os_->FileExists(state_.DataDir + "Fotelix.Dat"));
    // What the product makes while in use, and the user's own doing: an empty
    // cache, cached pictures, a link out of the data folder to the user's
    // pictures, and a desktop link already deleted.
    MakeFolder(state_.InstallDir + "cache");
    if (!c.dataFolderFails) {
      MakeFile(state_.CacheDir + "a1.jpg", "cached");
      // Where the system cannot make one (the Windows build under Wine),
      // the scenario goes on without it.
      std::error_code ec;
      fs::create_directory_symlink(os_->HostPath("C:\\Users\\Ann\\Pictures"),
                                   os_->HostPath(state_.DataDir) / "Pictures", ec);
    }
    ASSERT_TRUE(os_->RemoveFile(kDesktop + "\\Fotelix.Lnk"));

    const TUninstallPlan plan = Plan(state_.InstallDir);
    EXPECT_EQ(plan.Refused, std::vector<std::string>());
    const std::vector<std::string> stayed = CarryOut(*os_, plan);
    EXPECT_EQ(stayed, std::vector<std::string>());
    EXPECT_EQ(UninstallReport(plan, stayed), "");
    EXPECT_EQ(Snapshot(), before);
  }
}

TEST_F(UninstallLogTest, AHostileLogRemovesNothingOutsideTheInstallation) {
  const std::string dir = "C:\\Apps\\Fotelix\\";
  MapDrive('N', TDriveType::Remote);
  MakeFile("N:\\Fotelix.Exe", "on the network");
  MakeFile(dir + "Uninstall.Exe", "MZ");
  MakeFile(dir + "Docs\\thesis.doc", "behind what might be a link");
  MakeFile("C:\\x", "a file at the root");
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
      {"<DC:\\users\\>", nullptr},  // only setup's own files there, and it has none
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
  for (const Row& row : rows) {
    const std::string quoted = "\"" + std::string(row.line) + "\"";
    if (!row.refusal) {
      EXPECT_EQ(report.find(quoted), std::string::npos) << row.line;
      continue;
    }
    const std::string refusal = quoted + " " + row.refusal;
    EXPECT_EQ(std::count_if(plan.Refused.begin(), plan.Refused.end(),
                            [&](const std::string& r) { return r.rfind(refusal, 0) == 0; }),
              1)
        << refusal;
    EXPECT_NE(report.find(quoted), std::string::npos) << row.line;
  }
  EXPECT_EQ(plan.Refused.size(), std::size(rows) - 2);
  // The folders stay, being far from empty, and are said to.
  EXPECT_EQ(report.rfind("Fotelix could not be removed completely. These are still there:\r\nC:\\users\\\r\n" +
                             dir + "\r\n\r\nThese lines of the uninstall log were left alone:\r\n",
                         0),
            0u)
      << report;

  // A log of another product, or none at all, stops everything before it starts.
  MakeFile(dir + "UnInstall.dat", "Other\r\n<EC:\\Apps\\Fotelix\\>\r\n");
  EXPECT_THROW(Plan(dir), std::runtime_error);
  ASSERT_TRUE(os_->RemoveFile(dir + "UnInstall.dat"));
  EXPECT_THROW(Plan(dir), EPlatformError);
}

TEST_F(UninstallLogTest, WhatCannotGoIsReportedAndGoesOnASecondRun) {
  TFakeRunBar bar;
  TFakeRunLabel label;
  RunInstall(*os_, state_, bar, label);
  const std::string group = kPrograms + "\\Fotelix\\";
  MakeFile(group + "Read me.txt", "the user's own");
  os_->LockFile(kInstallDir + "Fotelix.Exe");
  os_->FailRegistry(true);

  const TUninstallPlan plan = Plan(kInstallDir);
  const std::vector<std::string> stayed = CarryOut(*os_, plan);
  const std::string key = std::string("HKEY_LOCAL_MACHINE\\") + kUninstallKey;
  EXPECT_EQ(stayed, (std::vector<std::string>{kInstallDir + "Fotelix.Exe", group, key, kInstallDir}));
  EXPECT_EQ(UninstallReport(plan, stayed),
            "Fotelix could not be removed completely. These are still there:\r\n" + kInstallDir +
                "Fotelix.Exe\r\n" + group + "\r\n" + key + "\r\n" + kInstallDir);
  EXPECT_FALSE(os_->FileExists(group + "Fotelix.Lnk"));
  EXPECT_FALSE(os_->FolderExists(state_.DataDir));

  // Everything else is gone by now, and that is no failure the second time.
  os_->LockFile(kInstallDir + "Fotelix.Exe", false);
  os_->FailRegistry(false);
  EXPECT_EQ(CarryOut(*os_, plan), std::vector<std::string>{group});
  EXPECT_FALSE(os_->FolderExists(kInstallDir));
  std::string value;
  EXPECT_FALSE(os_->ReadRegistryString(kUninstallKey, "DisplayName", value));
  EXPECT_TRUE(os_->ReadRegistryString("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other",
                                      "DisplayName", value));
}

TEST(UninstallLogParse, SplitsLinesAndTakesTheOperandUpToTheLastBracket) {
  const TUninstallLog log = ParseUninstallLog("Fotelix\r\n\r\n<FC:\\a>b>\n<R>\r\n<>\r\n< F>\r\n<EC:\\A\\>");
  EXPECT_EQ(log.Product, "Fotelix");
  ASSERT_EQ(log.Lines.size(), 3u);
  EXPECT_EQ(std::string(1, log.Lines[0].Tag) + log.Lines[0].Operand, "FC:\\a>b");
  EXPECT_EQ(std::string(1, log.Lines[1].Tag) + log.Lines[1].Operand, "R");
  EXPECT_EQ(std::string(1, log.Lines[2].Tag) + log.Lines[2].Operand, "EC:\\A\\");
  EXPECT_EQ(log.Malformed, (std::vector<std::string>{"<>", "< F>"}));
}

}  // namespace
