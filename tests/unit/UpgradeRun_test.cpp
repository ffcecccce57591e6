#include "install/UpgradeRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "install/PayloadSources.h"
#include "install/SettingsFileReader.h"
#include "install/Uninstall.h"
#include "platform/Find.h"
#include "platform/Path.h"
#include "unit/HostSim_fixture.h"
#include "unit/RunFakes.h"

namespace {

const std::string kDir = "C:\\Program Files\\Fotelix\\";

class UpgradeRunTest : public HostSimTest {
 protected:
  void SetUp() override {
    HostSimTest::SetUp();
    state_.InstallDir = kDir;
    MakeFolder(kDir);
  }

  void Run() {
    RunUpgrade(*os_, state_, bar_, label_, [this](const std::string& text) {
      statuses_.push_back(text);
      if (onStatus_) onStatus_(text);
    });
  }

  std::vector<std::string> Messages(int from, int to) {
    std::vector<std::string> expected;
    for (int attempt = from; attempt <= to; ++attempt) {
      expected.push_back(UpgradeRetryMessage(attempt));
      expected.push_back("");
    }
    return expected;
  }

  // The old program, held open by the running product.
  void LockProgram() {
    MakeFile(kDir + "Fotelix.Exe", "old program");
    os_->LockFile(kDir + "Fotelix.Exe");
  }

  TSetupState state_;
  TFakeRunBar bar_;
  TFakeRunLabel label_;
  std::vector<std::string> statuses_;
  std::function<void(const std::string&)> onStatus_;
};

TEST_F(UpgradeRunTest, ReplacesTheProgramsAndWritesTheBackupSettings) {
  MakeFile(kDir + "Fotelix.Exe", "old program");
  Run();
  EXPECT_TRUE(Content(kDir + "Fotelix.Exe") == BuiltProgram(kProgramSourceFile));
  EXPECT_TRUE(Content(kDir + "Uninstall.Exe") == BuiltProgram(kUninstallerSourceFile));
  const auto items = ReadSettingsFile(Content(kDir + "Fotelix.BAK"), TSettingsForm::Upgrade);
  ASSERT_GE(items.size(), 4u);
  EXPECT_EQ(items[2].Value, "");  // no download folder was chosen
  EXPECT_EQ(items[3].Value, kDir + "Cache\\");
  EXPECT_TRUE(statuses_.empty());
  EXPECT_EQ(os_->SleptMilliseconds(), 0u);
  EXPECT_TRUE(os_->StartedAsUser().empty());

  const TPayload& p = ProgramPayload();
  EXPECT_EQ(bar_.Max(), static_cast<int32_t>(p.ProgressSpan()));
  std::vector<int32_t> expected = PayloadPositions(p);
  const int32_t at99 = PositionAtPercent(bar_.Max(), 99);
  expected.insert(expected.end(), {at99, at99, bar_.Max()});
  EXPECT_EQ(bar_.positions, expected);
  EXPECT_EQ(label_.captions.back(), "100% complete");
  EXPECT_EQ(label_.captions[label_.captions.size() - 2], "99% complete");
}

TEST_F(UpgradeRunTest, ProgramLockedForTwoAttemptsThenFree) {
  LockProgram();
  onStatus_ = [this](const std::string& text) {
    if (text == UpgradeRetryMessage(2)) os_->LockFile(kDir + "Fotelix.Exe", false);
  };
  Run();
  EXPECT_EQ(statuses_, Messages(1, 2));
  EXPECT_EQ(os_->SleptMilliseconds(), 2u * 15 * 1000);
  EXPECT_TRUE(Content(kDir + "Fotelix.Exe") == BuiltProgram(kProgramSourceFile));
  // Each attempt copies the payload again: three runs of block positions.
  EXPECT_EQ(std::count(bar_.positions.begin(), bar_.positions.end(), 1024), 3);
}

// After the last attempt the error tells the last cause: a program still in
// use, or whatever else kept the file from being written.
TEST_F(UpgradeRunTest, AProgramFileThatStaysUnwritableEndsWithTheCauseAfterTheLastAttempt) {
  struct Case {
    const char* name;
    std::function<void()> fault;
    std::string error;
  };
  const Case cases[] = {
      {"in use", [&] { os_->LockFile(kDir + "Fotelix.Exe"); },
       "Fotelix could not be upgraded: \"" + kDir +
           "Fotelix.Exe\" is still in use after 21 attempts. Close Fotelix and start the upgrade again."},
      {"access denied", [&] { os_->DenyAccess(kDir + "Fotelix.Exe"); },
       "Fotelix could not be upgraded after 21 attempts: Cannot create file " + kDir +
           "Fotelix.Exe: access is denied (error 5)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    statuses_.clear();
    MakeFile(kDir + "Fotelix.Exe", "old program");
    c.fault();
    try {
      Run();
      ADD_FAILURE() << "the run reported an upgrade over the old program";
    } catch (const std::runtime_error& error) {
      EXPECT_EQ(error.what(), c.error);
    }
    EXPECT_EQ(statuses_, Messages(1, 20));
    EXPECT_EQ(os_->SleptMilliseconds(), 20u * 15 * 1000);
    EXPECT_EQ(Content(kDir + "Fotelix.Exe"), "old program");
    EXPECT_FALSE(os_->FileExists(kDir + "Fotelix.BAK"));
  }
  EXPECT_EQ(UpgradeRetryMessage(20),
            "Fotelix is still running or in use by another program. Upgrade will retry in a few "
            "seconds. (Attempt 20)");
}

TEST_F(UpgradeRunTest, AFullDiskEndsAtOnceNamingTheFileAndKeepsTheProgram) {
  MakeFile(kDir + "Fotelix.Exe", "old program");
  os_->SetDiskSpace('C', 1000);
  try {
    Run();
    ADD_FAILURE() << "no error";
  } catch (const EPlatformError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot create file " + kDir + "Fotelix.Exe: the disk is full (error 112)");
  }
  EXPECT_TRUE(statuses_.empty());
  EXPECT_EQ(os_->SleptMilliseconds(), 0u);
  EXPECT_EQ(Content(kDir + "Fotelix.Exe"), "old program");
  EXPECT_FALSE(os_->FileExists(kDir + "Fotelix.Exe.new"));
}

TEST_F(UpgradeRunTest, AutomaticUpdateIntoAMissingFolder) {
  const std::string dir = "C:\\Apps\\New Place\\Fotelix\\";
  state_.InstallDir = dir;
  state_.AutoUpdate = true;
  os_->SetElevated(true);
  // Nothing is touched before the three seconds are over.
  std::vector<std::pair<uint64_t, bool>> pumps;
  os_->SetMessagePump([&] {
    pumps.emplace_back(os_->SleptMilliseconds(), os_->FileExists(dir + "Fotelix.Exe.new") ||
                                                     os_->FileExists(dir + "Fotelix.Exe"));
  });
  Run();
  ASSERT_GE(pumps.size(), 3u);
  EXPECT_EQ(pumps[0], std::make_pair(uint64_t{1000}, false));
  EXPECT_EQ(pumps[1], std::make_pair(uint64_t{2000}, false));
  EXPECT_EQ(pumps[2].first, 3000u);

  EXPECT_TRUE(Content(dir + "Fotelix.Exe") == BuiltProgram(kProgramSourceFile));
  EXPECT_TRUE(os_->FileExists(dir + "Uninstall.Exe"));
  EXPECT_TRUE(os_->FileExists(dir + "Fotelix.BAK"));
  const std::vector<std::pair<std::string, int>> started = {
      {"C:\\Apps\\New Place\\Fotelix\\Fotelix.Exe", kSwShowMaximized}};
  EXPECT_EQ(os_->StartedAsUser(), started);
  EXPECT_TRUE(os_->StartedPrograms().empty());
  // Every level made, closed to other users.
  EXPECT_EQ(os_->ProtectedFolders(),
            (std::vector<std::string>{"C:\\Apps", "C:\\Apps\\New Place", "C:\\Apps\\New Place\\Fotelix"}));
}

// An elevated automatic update writes only into an installed copy in a
// trusted folder: the system folder, another program's folder and other
// users' folders are refused before anything is written there, and a
// missing folder is made only below trusted levels. A copy that an older
// setup left open to all, in a folder that a trusted account owns, is
// closed to others first, which the page says. While the update waits for
// the running product, Mallory can move nothing of it.
TEST_F(UpgradeRunTest, AnElevatedUpdateTakesOnlyAnInstalledCopyInATrustedFolder) {
  using THost = THostSimPlatform;
  const std::string mallory = "Mallory", bob = "Bob";
  const std::string others = "\": users other than administrators can change ";
  const std::string noCopy = "\": that folder holds no installed copy of Fotelix.";
  struct Case {
    const char* name;
    std::string dir;
    std::function<void()> before;
    std::string error;
  };
  const Case cases[] = {
      {"the installed copy, running", kDir, [&] { LockProgram(); }, ""},
      {"the system folder", "C:\\Windows\\System32\\", [] {},
       "Cannot update Fotelix in \"C:\\Windows\\System32\\" + noCopy},
      {"another program's folder", "C:\\Program Files\\Other\\",
       [&] { MakeFile("C:\\Program Files\\Other\\Uninstall.Exe", "the other's"); },
       "Cannot update Fotelix in \"C:\\Program Files\\Other\\" + noCopy},
      {"another user's Startup folder", "C:\\Users\\Bob\\Start Menu\\Programs\\Startup\\",
       [&] { MakeFolder("C:\\Users\\Bob\\Start Menu\\Programs\\Startup"); },
       "Cannot update Fotelix in \"C:\\Users\\Bob\\Start Menu\\Programs\\Startup\\" + others +
           "\"C:\\Users\\Bob\\\"."},
      {"a copy put in another user's documents", "C:\\Users\\Bob\\Documents\\",
       [&] { MakeFile("C:\\Users\\Bob\\Documents\\Fotelix.Exe", "MZ"); },
       "Cannot update Fotelix in \"C:\\Users\\Bob\\Documents\\" + others + "\"C:\\Users\\Bob\\\"."},
      {"a copy in her own folder", "C:\\0\\",
       [&] {
         os_->MakeFolderAs(mallory, "C:\\0");
         os_->WriteFileAs(mallory, "C:\\0\\Fotelix.Exe", "MZ");
       },
       "Cannot update Fotelix in \"C:\\0\\" + others + "that folder."},
      {"a missing folder below a level open to all", "C:\\Apps\\Fotelix\\", [&] { MakeFolder("C:\\Apps"); },
       "Cannot update Fotelix in \"C:\\Apps\\Fotelix\\" + others + "\"C:\\Apps\\\"."},
      {"a copy an older setup left open", "C:\\Fotelix\\", [&] { MakeFile("C:\\Fotelix\\Fotelix.Exe", "MZ"); },
       ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TearDown();
    SetUp();
    statuses_.clear();
    os_->SetFolderSecurity("C:\\Program Files", THost::kTrustedInstaller,
                           {THost::kTrustedInstaller, THost::kSystem, THost::kAdministrators});
    os_->SetFolderSecurity("C:\\Windows", THost::kTrustedInstaller, {THost::kTrustedInstaller});
    MakeFolder("C:\\Windows\\System32");
    os_->SetFolderSecurity("C:\\Users", THost::kSystem, {THost::kSystem, THost::kAdministrators});
    MakeFolder("C:\\Users\\Bob\\Documents");
    os_->SetFolderSecurity("C:\\Users\\Bob", bob, {THost::kSystem, THost::kAdministrators, bob});
    os_->SetElevated(true);
    c.before();
    state_.InstallDir = c.dir;
    state_.AutoUpdate = true;
    std::vector<std::string> swapped;
    onStatus_ = [&](const std::string& text) {
      for (const std::string& folder : {WithoutBackslash(c.dir), std::string("C:\\Program Files")})
        if (os_->RenameAs(mallory, folder, "C:\\Moved") || os_->WriteFileAs(mallory, c.dir + "Uninstall.Exe", "MZ"))
          swapped.push_back(folder);
      if (text == UpgradeRetryMessage(1)) os_->LockFile(kDir + "Fotelix.Exe", false);
    };
    if (!c.error.empty()) {
      try {
        Run();
        ADD_FAILURE() << "updated";
      } catch (const std::invalid_argument& error) {
        EXPECT_EQ(error.what(), c.error);
      }
      EXPECT_FALSE(os_->FileExists(c.dir + "Fotelix.BAK"));
      if (os_->FileExists(c.dir + "Uninstall.Exe")) {
        EXPECT_EQ(Content(c.dir + "Uninstall.Exe"), "the other's");
      }
      EXPECT_TRUE(os_->StartedAsUser().empty());
      continue;
    }
    Run();
    EXPECT_TRUE(Content(c.dir + "Fotelix.Exe") == BuiltProgram(kProgramSourceFile));
    EXPECT_EQ(os_->StartedAsUser().size(), 1u);
    EXPECT_EQ(swapped, std::vector<std::string>());
    EXPECT_FALSE(os_->WriteFileAs(mallory, c.dir + "Fotelix.Exe", "MZ hers"));
    EXPECT_EQ(statuses_.empty() ? "" : statuses_.front(),
              c.dir == kDir ? UpgradeRetryMessage(1)
                            : "\"C:\\Fotelix\\\" could be changed by users other than administrators; it now "
                              "has the protection of Program Files.");
  }
}

TEST_F(UpgradeRunTest, FolderWithoutBackslashIsUsedAndKeptWithOne) {
  state_.InstallDir = "C:\\Program Files\\Fotelix";
  state_.AutoUpdate = true;
  Run();
  EXPECT_TRUE(os_->FileExists(kDir + "Fotelix.BAK"));
  EXPECT_EQ(os_->StartedAsUser().at(0).first, kDir + "Fotelix.Exe");
  EXPECT_EQ(state_.InstallDir, kDir);
}

TEST_F(UpgradeRunTest, AFolderThatCannotBeMadeIsNamedAtOnce) {
  for (const std::string dir : {"Q:\\Fotelix\\", "C:\\Denied\\Fotelix\\"}) {
    os_->FailCreateFolder("C:\\Denied");
    state_.InstallDir = dir;
    try {
      Run();
      ADD_FAILURE() << dir;
    } catch (const EPlatformError& error) {
      EXPECT_EQ(error.what(), "Cannot create the folder \"" + dir + "\".");
    }
    EXPECT_TRUE(statuses_.empty());
    EXPECT_EQ(os_->SleptMilliseconds(), 0u);
  }
}

TEST_F(UpgradeRunTest, LeavesEverythingOfTheInstallAlone) {
  const std::vector<std::string> kept = {"Fotelix.Dat", "FXInst.Dat", "UnInstall.dat"};
  for (const std::string& name : kept) MakeFile(kDir + name, "user's " + name);
  Run();
  for (const std::string& name : kept) EXPECT_EQ(Content(kDir + name), "user's " + name);
  EXPECT_FALSE(os_->ReadRegistryString(kUninstallKey, "UninstallString"));
  std::vector<std::string> names;
  TFind find(*os_, kDir + "*.*", faAnyFile);
  for (TSearchRec rec; find.Next(rec);)
    if (rec.Name != "." && rec.Name != "..") names.push_back(rec.Name);
  EXPECT_EQ(names.size(), kept.size() + 3);
}

TEST_F(UpgradeRunTest, LaterFailuresAreRaised) {
  struct Case {
    const char* name;
    std::string denied;
  };
  const Case cases[] = {
      {"uninstaller", kDir + "Uninstall.Exe"},
      {"settings file", kDir + "Fotelix.BAK"},
  };
  for (const Case& c : cases) {
    TearDown();
    SetUp();
    state_.AutoUpdate = true;
    os_->DenyAccess(c.denied);
    EXPECT_THROW(Run(), EPlatformError) << c.name;
    EXPECT_TRUE(os_->FileExists(kDir + "Fotelix.Exe")) << c.name;
    EXPECT_FALSE(os_->FileExists(kDir + "Fotelix.BAK")) << c.name;
    EXPECT_TRUE(os_->StartedAsUser().empty()) << c.name;
  }

  TearDown();
  SetUp();
  state_.AutoUpdate = true;
  os_->FailStartProgram(true);
  EXPECT_THROW(Run(), EPlatformError);
  EXPECT_TRUE(os_->FileExists(kDir + "Fotelix.BAK"));
}

}  // namespace
