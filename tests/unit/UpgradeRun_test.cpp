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
#include "lib/LIB_Percent.h"
#include "unit/CaseName.h"
#include "unit/RunFakes.h"

namespace {

const std::string kDir = "C:\\Program Files\\Fotelix\\";

class UpgradeRunTest : public HostSimTest {
 public:
  void SetUp() override {
    HostSimTest::SetUp();
    state_.InstallDir = kDir;
    MakeFolder(kDir);
  }

  void Run() { RunUpgrade(*os_, state_, progress_); }

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
  TFakeProgress progress_;
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
  EXPECT_TRUE(progress_.statuses.empty());
  EXPECT_EQ(os_->SleptMilliseconds(), 0u);
  EXPECT_TRUE(os_->StartedAsUser().empty());

  const TPayload& p = ProgramPayload();
  EXPECT_EQ(progress_.Range(), static_cast<int32_t>(p.ProgressSpan()));
  std::vector<int32_t> expected = PayloadPositions(p);
  const int32_t at99 = PositionAtPercent(progress_.Range(), 99);
  expected.insert(expected.end(), {at99, at99, progress_.Range()});
  EXPECT_EQ(progress_.positions, expected);
  EXPECT_EQ(RoundedPercent(at99, progress_.Range()), 99);
}

TEST_F(UpgradeRunTest, ProgramLockedForTwoAttemptsThenFree) {
  LockProgram();
  progress_.OnStatus = [this](const std::string& text) {
    if (text == UpgradeRetryMessage(2)) os_->LockFile(kDir + "Fotelix.Exe", false);
  };
  Run();
  EXPECT_EQ(progress_.statuses, Messages(1, 2));
  EXPECT_EQ(os_->SleptMilliseconds(), 2u * 15 * 1000);
  EXPECT_TRUE(Content(kDir + "Fotelix.Exe") == BuiltProgram(kProgramSourceFile));
  // Each attempt copies the payload again: three runs of block positions.
  EXPECT_EQ(std::count(progress_.positions.begin(), progress_.positions.end(), 1024), 3);
}

// After the last attempt the error tells the last cause: a program still in
// use, or whatever else kept the file from being written.
struct LastAttemptCase {
  const char* name;
  void (*fault)(THostSimPlatform&);
  std::string error;
};

const LastAttemptCase kLastAttempts[] = {
    {"in use", [](THostSimPlatform& os) { os.LockFile(kDir + "Fotelix.Exe"); },
     "Fotelix could not be upgraded: \"" + kDir +
         "Fotelix.Exe\" is still in use after 21 attempts. Close Fotelix and start the upgrade again."},
    {"access denied", [](THostSimPlatform& os) { os.DenyAccess(kDir + "Fotelix.Exe"); },
     "Fotelix could not be upgraded after 21 attempts: Cannot create file " + kDir +
         "Fotelix.Exe: access is denied (error 5)"},
};

class LastAttemptTest : public UpgradeRunTest, public testing::WithParamInterface<LastAttemptCase> {};

TEST_P(LastAttemptTest, AProgramFileThatStaysUnwritableEndsWithTheCause) {
  const LastAttemptCase& c = GetParam();
  MakeFile(kDir + "Fotelix.Exe", "old program");
  c.fault(*os_);
  try {
    Run();
    ADD_FAILURE() << "the run reported an upgrade over the old program";
  } catch (const std::runtime_error& error) {
    EXPECT_EQ(error.what(), c.error);
  }
  EXPECT_EQ(progress_.statuses, Messages(1, 20));
  EXPECT_EQ(os_->SleptMilliseconds(), 20u * 15 * 1000);
  EXPECT_EQ(Content(kDir + "Fotelix.Exe"), "old program");
  EXPECT_FALSE(os_->FileExists(kDir + "Fotelix.BAK"));
  EXPECT_EQ(UpgradeRetryMessage(20),
            "Fotelix is still running or in use by another program. Upgrade will retry in a few "
            "seconds. (Attempt 20)");
}

INSTANTIATE_TEST_SUITE_P(Faults, LastAttemptTest, testing::ValuesIn(kLastAttempts), CaseName<LastAttemptCase>);

TEST_F(UpgradeRunTest, AFullDiskEndsAtOnceNamingTheFileAndKeepsTheProgram) {
  MakeFile(kDir + "Fotelix.Exe", "old program");
  os_->SetDiskSpace('C', 1000);
  try {
    Run();
    ADD_FAILURE() << "no error";
  } catch (const EPlatformError& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot create file " + kDir + "Fotelix.Exe: the disk is full (error 112)");
  }
  EXPECT_TRUE(progress_.statuses.empty());
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
  progress_.OnMessages = [&] {
    pumps.emplace_back(os_->SleptMilliseconds(), os_->FileExists(dir + "Fotelix.Exe.new") ||
                                                     os_->FileExists(dir + "Fotelix.Exe"));
  };
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
const std::string kMallory = "Mallory", kBob = "Bob";
const std::string kOthers = "\": users other than administrators can change ";
const std::string kNoCopy = "\": that folder holds no installed copy of Fotelix.";

struct ElevatedUpdateCase {
  const char* name;
  std::string dir;
  void (*before)(UpgradeRunTest&);
  std::string error;
};

const ElevatedUpdateCase kElevatedUpdates[] = {
    {"the installed copy, running", kDir, [](UpgradeRunTest& t) { t.LockProgram(); }, ""},
    {"the system folder", "C:\\Windows\\System32\\", [](UpgradeRunTest&) {},
     "Cannot update Fotelix in \"C:\\Windows\\System32\\" + kNoCopy},
    {"another program's folder", "C:\\Program Files\\Other\\",
     [](UpgradeRunTest& t) { t.MakeFile("C:\\Program Files\\Other\\Uninstall.Exe", "the other's"); },
     "Cannot update Fotelix in \"C:\\Program Files\\Other\\" + kNoCopy},
    {"another user's Startup folder", "C:\\Users\\Bob\\Start Menu\\Programs\\Startup\\",
     [](UpgradeRunTest& t) { t.MakeFolder("C:\\Users\\Bob\\Start Menu\\Programs\\Startup"); },
     "Cannot update Fotelix in \"C:\\Users\\Bob\\Start Menu\\Programs\\Startup\\" + kOthers +
         "\"C:\\Users\\Bob\\\"."},
    {"a copy put in another user's documents", "C:\\Users\\Bob\\Documents\\",
     [](UpgradeRunTest& t) { t.MakeFile("C:\\Users\\Bob\\Documents\\Fotelix.Exe", "MZ"); },
     "Cannot update Fotelix in \"C:\\Users\\Bob\\Documents\\" + kOthers + "\"C:\\Users\\Bob\\\"."},
    {"a copy in her own folder", "C:\\0\\",
     [](UpgradeRunTest& t) {
       t.os_->MakeFolderAs(kMallory, "C:\\0");
       t.os_->WriteFileAs(kMallory, "C:\\0\\Fotelix.Exe", "MZ");
     },
     "Cannot update Fotelix in \"C:\\0\\" + kOthers + "that folder."},
    {"a missing folder below a level open to all", "C:\\Apps\\Fotelix\\",
     [](UpgradeRunTest& t) { t.MakeFolder("C:\\Apps"); },
     "Cannot update Fotelix in \"C:\\Apps\\Fotelix\\" + kOthers + "\"C:\\Apps\\\"."},
    {"a copy an older setup left open", "C:\\Fotelix\\",
     [](UpgradeRunTest& t) { t.MakeFile("C:\\Fotelix\\Fotelix.Exe", "MZ"); }, ""},
};

class ElevatedUpdateTest : public UpgradeRunTest, public testing::WithParamInterface<ElevatedUpdateCase> {};

TEST_P(ElevatedUpdateTest, TakesOnlyAnInstalledCopyInATrustedFolder) {
  using THost = THostSimPlatform;
  const ElevatedUpdateCase& c = GetParam();
  os_->SetFolderSecurity("C:\\Program Files", THost::kTrustedInstaller,
                         {THost::kTrustedInstaller, THost::kSystem, THost::kAdministrators});
  os_->SetFolderSecurity("C:\\Windows", THost::kTrustedInstaller, {THost::kTrustedInstaller});
  MakeFolder("C:\\Windows\\System32");
  os_->SetFolderSecurity("C:\\Users", THost::kSystem, {THost::kSystem, THost::kAdministrators});
  MakeFolder("C:\\Users\\Bob\\Documents");
  os_->SetFolderSecurity("C:\\Users\\Bob", kBob, {THost::kSystem, THost::kAdministrators, kBob});
  os_->SetElevated(true);
  c.before(*this);
  state_.InstallDir = c.dir;
  state_.AutoUpdate = true;
  std::vector<std::string> swapped;
  progress_.OnStatus = [&](const std::string& text) {
    for (const std::string& folder : {WithoutBackslash(c.dir), std::string("C:\\Program Files")})
      if (os_->RenameAs(kMallory, folder, "C:\\Moved") || os_->WriteFileAs(kMallory, c.dir + "Uninstall.Exe", "MZ"))
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
    return;
  }
  Run();
  EXPECT_TRUE(Content(c.dir + "Fotelix.Exe") == BuiltProgram(kProgramSourceFile));
  EXPECT_EQ(os_->StartedAsUser().size(), 1u);
  EXPECT_EQ(swapped, std::vector<std::string>());
  EXPECT_FALSE(os_->WriteFileAs(kMallory, c.dir + "Fotelix.Exe", "MZ hers"));
  EXPECT_EQ(progress_.statuses.empty() ? "" : progress_.statuses.front(),
            c.dir == kDir ? UpgradeRetryMessage(1)
                          : "\"C:\\Fotelix\\\" could be changed by users other than administrators; it now "
                            "has the protection of Program Files.");
}

INSTANTIATE_TEST_SUITE_P(Folders, ElevatedUpdateTest, testing::ValuesIn(kElevatedUpdates),
                         CaseName<ElevatedUpdateCase>);

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
    EXPECT_TRUE(progress_.statuses.empty());
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

// A failure after the program file ends the update and starts nothing; a
// product that cannot be started ends it after every file is written.
struct LaterFailureCase {
  const char* name;
  void (*fault)(THostSimPlatform&);
  bool settingsWritten;
};

const LaterFailureCase kLaterFailures[] = {
    {"uninstaller", [](THostSimPlatform& os) { os.DenyAccess(kDir + "Uninstall.Exe"); }, false},
    {"settings file", [](THostSimPlatform& os) { os.DenyAccess(kDir + "Fotelix.BAK"); }, false},
    {"start of the product", [](THostSimPlatform& os) { os.FailStartProgram(true); }, true},
};

class LaterFailureTest : public UpgradeRunTest, public testing::WithParamInterface<LaterFailureCase> {};

TEST_P(LaterFailureTest, IsRaised) {
  const LaterFailureCase& c = GetParam();
  state_.AutoUpdate = true;
  c.fault(*os_);
  EXPECT_THROW(Run(), EPlatformError);
  EXPECT_TRUE(os_->FileExists(kDir + "Fotelix.Exe"));
  EXPECT_EQ(os_->FileExists(kDir + "Fotelix.BAK"), c.settingsWritten);
  EXPECT_TRUE(os_->StartedAsUser().empty());
}

INSTANTIATE_TEST_SUITE_P(Faults, LaterFailureTest, testing::ValuesIn(kLaterFailures), CaseName<LaterFailureCase>);

}  // namespace
