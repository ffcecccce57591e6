#include "install/UninstallLog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "install/InstallRun.h"
#include "install/Uninstall.h"
#include "lib/LIB_Text.h"
#include "platform/Path.h"
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
    ASSERT_TRUE(os_->TryRemoveFile(kDesktop + "\\Fotelix.Lnk"));

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
  EXPECT_FALSE(os_->ReadRegistryString(kUninstallKey, "DisplayName"));
  EXPECT_TRUE(os_->ReadRegistryString("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other",
                                      "DisplayName"));
}

TEST_F(UninstallLogTest, AFolderSwappedForALinkAfterItIsOpenedRedirectsNothing) {
  const std::string dataDir = kLocalAppData + "\\Fotelix\\";
  struct Case {
    const char* name;
    std::string swapped;  // the folder that becomes a link to C:\Victim once opened
    std::string movedTo;  // where the folder itself goes meanwhile
    std::vector<std::string> stayed;
  };
  const Case cases[] = {
      // Emptied through its handle under its new name, which keeps the data
      // folder; the link at the old name goes itself.
      {"the data folder's cache, moved aside", dataDir + "cache", dataDir + "cache.old", {dataDir}},
      // No longer in the data folder: not entered.
      {"a folder in the cache, moved away", dataDir + "cache\\thumbs", "C:\\Moved", {}},
      // No longer where the log says: nothing removed from it; the files that
      // the log names are still there, one of them seen through the link.
      {"the installation folder",
       WithoutBackslash(kInstallDir),
       "C:\\Program Files\\Fotelix.old",
       {kInstallDir + "Fotelix.Exe", kInstallDir + "Fotelix.dat"}},
  };
  std::error_code ec;
  fs::create_directory_symlink(root_, root_ / "link", ec);
  if (ec) GTEST_SKIP() << "no host link can be made here";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    TFakeRunBar bar;
    TFakeRunLabel label;
    RunInstall(*os_, state_, bar, label);
    MakeFile(state_.CacheDir + "a1.jpg", "cached");
    MakeFile(state_.CacheDir + "thumbs\\t1.jpg", "cached");
    MakeFile("C:\\Victim\\Fotelix.Dat", "the victim's settings");
    MakeFile("C:\\Victim\\thesis.doc", "the victim's work");
    int swaps = 0;
    os_->OnFolderOpened([&](const std::string& path) {
      if (swaps > 0 || !SameText(path, c.swapped)) return;
      ++swaps;
      fs::rename(os_->HostPath(path), os_->HostPath(ExtractFilePath(c.movedTo)) / ExtractFileName(c.movedTo));
      fs::create_directory_symlink(os_->HostPath("C:\\Victim"), os_->HostPath(path));
    });

    EXPECT_EQ(CarryOut(*os_, Plan(state_.InstallDir)), c.stayed);
    EXPECT_EQ(swaps, 1);
    EXPECT_EQ(Content("C:\\Victim\\Fotelix.Dat"), "the victim's settings");
    EXPECT_EQ(Content("C:\\Victim\\thesis.doc"), "the victim's work");
    EXPECT_FALSE(fs::exists(fs::symlink_status(os_->HostPath(c.swapped), ec)));
  }
}

// A link put above the installation folder while the uninstaller works
// (here, once the data folder is reached): the folder of that name behind
// the link is another user's, and stays, and the installation folder is
// reported as left in place.
TEST_F(UninstallLogTest, ALinkAboveTheInstallationFolderLeavesWhatItLeadsTo) {
  state_.InstallDir = "C:\\Tools\\Apps\\Fotelix\\";
  TFakeRunBar bar;
  TFakeRunLabel label;
  RunInstall(*os_, state_, bar, label);
  MakeFolder("C:\\Users\\Bob\\Tools\\Apps\\Fotelix");
  std::error_code ec;
  fs::create_directory_symlink(root_, root_ / "link", ec);
  if (ec) GTEST_SKIP() << "no host link can be made here";
  os_->OnFolderOpened([&](const std::string& path) {
    if (!SameText(path, WithoutBackslash(state_.DataDir))) return;
    fs::rename(os_->HostPath("C:\\Tools"), os_->HostPath("C:\\") / "Tools.old");
    fs::create_directory_symlink(os_->HostPath("C:\\Users\\Bob\\Tools"), os_->HostPath("C:\\") / "Tools");
  });
  EXPECT_EQ(CarryOut(*os_, Plan(state_.InstallDir)), std::vector<std::string>{state_.InstallDir});
  EXPECT_TRUE(os_->FolderExists("C:\\Users\\Bob\\Tools\\Apps\\Fotelix"));
}

TEST_F(UninstallLogTest, AHugeOrRepetitiveLogCostsLittleAndGivesAShortReport) {
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
