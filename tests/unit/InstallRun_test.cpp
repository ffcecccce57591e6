#include "install/InstallRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "install/PayloadSources.h"
#include "install/SettingsFileReader.h"
#include "install/Uninstall.h"
#include "lib/LIB_Percent.h"
#include "platform/Files.h"
#include "platform/Path.h"
#include "unit/HostSim_fixture.h"
#include "unit/CaseName.h"
#include "unit/RunFakes.h"

namespace {

const std::string kProgramFiles = "C:\\Program Files";
const std::string kLocalAppData = "C:\\Users\\Ann\\Local Settings";
const std::string kPrograms = "C:\\Users\\Ann\\Start Menu\\Programs";
const std::string kDesktop = "C:\\Users\\Ann\\Desktop";
const std::string kDefaultDir = kProgramFiles + "\\Fotelix\\";
const std::string kDataDir = kLocalAppData + "\\Fotelix\\";

class InstallRunTest : public HostSimTest {
 public:
  void SetUp() override {
    HostSimTest::SetUp();
    for (const auto& [csidl, folder] : {std::pair{kCsidlProgramFiles, kProgramFiles},
                                        std::pair{kCsidlLocalAppData, kLocalAppData},
                                        std::pair{kCsidlPrograms, kPrograms},
                                        std::pair{kCsidlDesktopDirectory, kDesktop}}) {
      MakeFolder(folder);
      os_->SetShellFolder(csidl, folder, 0);
    }
    state_.InstallDir = kDefaultDir;
    state_.DownloadDir = "C:\\Images\\";
    state_.ConnectionKind = 3;
    state_.InstallerEdition = "04";
    state_.CreateDesktopShortcut = true;
  }

  void Run() { RunInstall(*os_, state_, progress_); }

  // The values of a settings file, without the key seed and offsets.
  std::vector<std::string> SettingsValues(const std::string& path) {
    std::vector<std::string> values;
    for (const TSettingsItem& item : ReadSettingsFile(Content(path), TSettingsForm::Install))
      if (item.Kind != TSettingsItem::KeySeed)
        values.push_back(std::to_string(item.Kind) + ":" + item.Name + "=" + item.Value);
    return values;
  }

  std::string KeySeed(const std::string& path) {
    for (const TSettingsItem& item : ReadSettingsFile(Content(path), TSettingsForm::Install))
      if (item.Kind == TSettingsItem::KeySeed) return item.Value;
    return std::string();
  }

  TSetupState state_;
  TFakeProgress progress_;
};

TEST_F(InstallRunTest, DefaultInstallWritesEveryItem) {
  Run();
  EXPECT_EQ(state_.InstallDir, kDefaultDir);
  EXPECT_EQ(state_.DataDir, kDataDir);
  EXPECT_EQ(state_.CacheDir, kDataDir + "cache\\");

  EXPECT_TRUE(Content(kDefaultDir + "Fotelix.Exe") == BuiltProgram(kProgramSourceFile));
  EXPECT_TRUE(Content(kDefaultDir + "Uninstall.Exe") == BuiltProgram(kUninstallerSourceFile));

  struct Link {
    std::string file, target, description, iconPath;
    int icon;
  };
  const std::string exe = kDefaultDir + "Fotelix.Exe";
  const std::string uninstaller = kDefaultDir + "Uninstall.Exe";
  const Link links[] = {
      {kPrograms + "\\Fotelix\\Fotelix.Lnk", exe, "Fotelix", exe, 0},
      {kPrograms + "\\Fotelix\\Fotelix Website.Lnk", "http://www.morvane.example/fotelix",
       "Fotelix On the web", "", -1},
      {kPrograms + "\\Fotelix\\Fotelix Manual.Lnk", "http://www.morvane.example/fotelix/help",
       "Fotelix Manual", "", -1},
      {kPrograms + "\\Fotelix\\Uninstall Fotelix.Lnk", uninstaller, "Uninstall Fotelix", uninstaller, 0},
      {kDesktop + "\\Fotelix.Lnk", exe, "Fotelix", exe, 0},
  };
  for (const Link& l : links) {
    const TShellLink back = os_->ReadShellLink(l.file);
    EXPECT_EQ(back.Target, l.target) << l.file;
    EXPECT_EQ(back.Description, l.description) << l.file;
    EXPECT_EQ(back.Arguments, "") << l.file;
    EXPECT_EQ(back.IconPath, l.iconPath) << l.file;
    EXPECT_EQ(back.IconIndex, l.icon) << l.file;
  }

  std::ifstream registry(os_->RegistryFile(), std::ios::binary);
  std::stringstream entry;
  entry << registry.rdbuf();
  const std::string key = std::string("HKEY_LOCAL_MACHINE\\") + kUninstallKey;
  EXPECT_EQ(entry.str(), key + "\tDisplayName\tFotelix\n" +    //
                             key + "\tNoModify\tdword:00000001\n" +  //
                             key + "\tNoRepair\tdword:00000001\n" +  //
                             key + "\tUninstallString\t\"C:\\Program Files\\Fotelix\\Uninstall.Exe\"\n");

  const std::vector<std::string> values = SettingsValues(kDataDir + "Fotelix.Dat");
  EXPECT_EQ(values, SettingsValues(kDefaultDir + "FXInst.Dat"));
  EXPECT_NE(KeySeed(kDataDir + "Fotelix.Dat"), KeySeed(kDefaultDir + "FXInst.Dat"));
  ASSERT_GE(values.size(), 4u);
  EXPECT_EQ(values[1], std::to_string(TSettingsItem::String) + ":=04");
  EXPECT_EQ(values[2], std::to_string(TSettingsItem::String) + ":=C:\\Images\\");
  EXPECT_EQ(values[3], std::to_string(TSettingsItem::String) + ":=" + kDataDir + "cache\\");

  EXPECT_EQ(InstallLog(kDefaultDir, kDataDir), Content(kDefaultDir + "UnInstall.dat"));
  EXPECT_EQ(Content(kDefaultDir + "UnInstall.dat"),
            "Fotelix\r\n"
            "<FC:\\Program Files\\Fotelix\\Fotelix.Exe>\r\n"
            "<FC:\\Program Files\\Fotelix\\Fotelix.dat>\r\n"
            "<FC:\\Program Files\\Fotelix\\Fotelix.bak>\r\n"
            "<FC:\\Program Files\\Fotelix\\FXInst.Dat>\r\n"
            "<FC:\\Program Files\\Fotelix\\Uninstall.Exe>\r\n"
            "<FC:\\Program Files\\Fotelix\\Uninstall.Dat>\r\n"
            "<DC:\\Users\\Ann\\Local Settings\\Fotelix\\>\r\n"
            "<EC:\\Program Files\\Fotelix\\>\r\n"
            "<RSoftware\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Fotelix>\r\n"
            "<SFotelix>\r\n"
            "<TFotelix.Lnk>\r\n");
  // No cache folder is made; it is only recorded.
  EXPECT_FALSE(os_->FolderExists(state_.CacheDir));
}

TEST_F(InstallRunTest, ProgressFollowsTheWritersAndTheFixedSteps) {
  Run();
  const TPayload& p = ProgramPayload();
  const int32_t max = static_cast<int32_t>(p.ProgressSpan() + p.ProgressSpan() / 30);
  EXPECT_EQ(progress_.Range(), max);

  std::vector<int32_t> expected = PayloadPositions(p);
  const double hundredth = static_cast<double>(max) / 100;
  const int32_t at96 = static_cast<int32_t>(std::nearbyint(hundredth * 96));
  const int32_t at98 = static_cast<int32_t>(std::nearbyint(hundredth * 98));
  const int32_t at99 = static_cast<int32_t>(std::nearbyint(hundredth * 99));
  expected.insert(expected.end(), {at96, at98, at99, at99, at99, at99});
  EXPECT_EQ(progress_.positions, expected);

  // The program file alone takes the bar to 97 %; then it shows 96 %, 98 %
  // and four times 99 %.
  std::vector<int> percents;
  for (size_t i = expected.size() - 7; i < expected.size(); ++i)
    percents.push_back(RoundedPercent(progress_.positions[i], max));
  EXPECT_EQ(percents, (std::vector<int>{97, 96, 98, 99, 99, 99, 99}));
}

TEST_F(InstallRunTest, FolderWithoutBackslashGainsOneEverywhere) {
  state_.InstallDir = "C:\\Apps\\Fotelix";
  Run();
  EXPECT_EQ(state_.InstallDir, "C:\\Apps\\Fotelix\\");
  EXPECT_TRUE(os_->FileExists("C:\\Apps\\Fotelix\\Fotelix.Exe"));
  EXPECT_EQ(os_->ReadRegistryString(kUninstallKey, "UninstallString"), "\"C:\\Apps\\Fotelix\\Uninstall.Exe\"");
  EXPECT_EQ(Content("C:\\Apps\\Fotelix\\UnInstall.dat"), InstallLog("C:\\Apps\\Fotelix\\", kDataDir));
}

// Each candidate folder that cannot be made passes to the next one; the one
// finally taken is the one in every path.
struct FallbackCase {
  const char* name;
  void (*fault)(THostSimPlatform&);
  std::string dir, dataDir;
};

const FallbackCase kFallbacks[] = {
    {"read-only chosen drive", [](THostSimPlatform& os) { os.DenyAccess("D:\\"); }, kDefaultDir, kDataDir},
    {"Program Files not writable",
     [](THostSimPlatform& os) {
       os.DenyAccess("D:\\");
       os.DenyAccess(kProgramFiles);
     },
     kDataDir, kDataDir},
    {"no Program Files folder",
     [](THostSimPlatform& os) {
       os.DenyAccess("D:\\");
       os.SetShellFolder(kCsidlProgramFiles, "", static_cast<int32_t>(0x80070002));
     },
     kDataDir, kDataDir},
    {"no local application data either",
     [](THostSimPlatform& os) {
       os.DenyAccess("D:\\");
       os.DenyAccess(kProgramFiles);
       os.DenyAccess(kLocalAppData);
     },
     "C:\\Fotelix\\", "C:\\Fotelix\\"},
};

class InstallFallbackTest : public InstallRunTest, public testing::WithParamInterface<FallbackCase> {};

TEST_P(InstallFallbackTest, InstallFolderFallsBackInOrder) {
  const FallbackCase& c = GetParam();
  MapDrive('D', TDriveType::Fixed);
  state_.InstallDir = "D:\\Fotelix\\";
  c.fault(*os_);
  Run();
  EXPECT_EQ(state_.InstallDir, c.dir);
  EXPECT_TRUE(os_->FileExists(c.dir + "Fotelix.Exe"));
  EXPECT_EQ(os_->ReadRegistryString(kUninstallKey, "UninstallString"), "\"" + c.dir + "Uninstall.Exe\"");
  EXPECT_EQ(os_->ReadShellLink(kPrograms + "\\Fotelix\\Fotelix.Lnk").Target, c.dir + "Fotelix.Exe");
  EXPECT_EQ(Content(c.dir + "UnInstall.dat"), InstallLog(c.dir, c.dataDir));
}

INSTANTIATE_TEST_SUITE_P(Faults, InstallFallbackTest, testing::ValuesIn(kFallbacks), CaseName<FallbackCase>);

TEST_F(InstallRunTest, NoFolderAtAllEndsTheRunAtTheProgramFile) {
  MapDrive('D', TDriveType::Fixed);
  state_.InstallDir = "D:\\Fotelix\\";
  for (const std::string& denied : {std::string("D:\\"), kProgramFiles, kLocalAppData})
    os_->DenyAccess(denied);
  os_->FailCreateFolder("C:\\Fotelix");
  EXPECT_THROW(Run(), EPlatformError);
  EXPECT_EQ(state_.InstallDir, "C:\\Fotelix\\");
  EXPECT_FALSE(os_->FolderExists("C:\\Fotelix\\"));
  EXPECT_FALSE(os_->ReadRegistryString(kUninstallKey, "DisplayName"));
  EXPECT_FALSE(os_->FolderExists(kPrograms + "\\Fotelix"));
}

struct DataFallbackCase {
  const char* name;
  void (*fault)(THostSimPlatform&);
};

const DataFallbackCase kDataFallbacks[] = {
    {"query fails", [](THostSimPlatform& os) { os.SetShellFolder(kCsidlLocalAppData, kLocalAppData, 1); }},
    {"folder cannot be made", [](THostSimPlatform& os) { os.FailCreateFolder(kDataDir); }},
    {"query answers no folder", [](THostSimPlatform& os) { os.SetShellFolder(kCsidlLocalAppData, "", 0); }},
};

class DataFallbackTest : public InstallRunTest, public testing::WithParamInterface<DataFallbackCase> {};

TEST_P(DataFallbackTest, DataFolderFallsBackToTheInstallFolder) {
  GetParam().fault(*os_);
  Run();
  EXPECT_EQ(state_.DataDir, kDefaultDir);
  EXPECT_EQ(state_.CacheDir, kDefaultDir + "cache\\");
  EXPECT_TRUE(os_->FileExists(kDefaultDir + "Fotelix.Dat"));
  EXPECT_EQ(SettingsValues(kDefaultDir + "Fotelix.Dat"), SettingsValues(kDefaultDir + "FXInst.Dat"));
  EXPECT_EQ(Content(kDefaultDir + "UnInstall.dat"), InstallLog(kDefaultDir, kDefaultDir));
}

INSTANTIATE_TEST_SUITE_P(Faults, DataFallbackTest, testing::ValuesIn(kDataFallbacks), CaseName<DataFallbackCase>);

TEST_F(InstallRunTest, OldDataFilesGoBeforeTheProgramFileIsWritten) {
  MakeFile(kDefaultDir + "FOTELIX.DAT", "old");
  MakeFile(kDefaultDir + "Fotelix.Bak", "old");
  MakeFile(kDefaultDir + "Fotelix.Exe", "running");
  os_->LockFile(kDefaultDir + "Fotelix.Exe");
  EXPECT_THROW(Run(), EPlatformError);
  EXPECT_FALSE(os_->FileExists(kDefaultDir + "fotelix.dat"));
  EXPECT_FALSE(os_->FileExists(kDefaultDir + "fotelix.bak"));
  EXPECT_EQ(Content(kDefaultDir + "Fotelix.Exe"), "running");
}

TEST_F(InstallRunTest, OldFilesThatCannotGoAreLeftAndTheRunGoesOn) {
  MakeFile(kDefaultDir + "fotelix.dat", "old");
  os_->LockFile(kDefaultDir + "fotelix.dat");
  MakeFile(kDefaultDir + "Fotelix.Exe", std::string(ProgramPayload().ExpandedLength + 1000, 'x'));
  Run();
  EXPECT_EQ(Content(kDefaultDir + "fotelix.dat"), "old");
  EXPECT_TRUE(Content(kDefaultDir + "Fotelix.Exe") == BuiltProgram(kProgramSourceFile));
}

// A failing guarded step leaves out its own work and nothing else.
const std::string kGroup = kPrograms + "\\Fotelix\\";
const std::vector<std::string> kGroupLinks = {kGroup + "Fotelix.Lnk", kGroup + "Fotelix Website.Lnk",
                                              kGroup + "Fotelix Manual.Lnk", kGroup + "Uninstall Fotelix.Lnk"};

struct GuardedCase {
  const char* name;
  void (*fault)(InstallRunTest&);
  std::vector<std::string> missing;
};

const GuardedCase kGuarded[] = {
    {"uninstaller in use",
     [](InstallRunTest& t) {
       t.MakeFile(kDefaultDir + "Uninstall.Exe", "old");
       t.os_->LockFile(kDefaultDir + "Uninstall.Exe");
     },
     {}},
    {"no Start-menu folder",
     [](InstallRunTest& t) { t.os_->SetShellFolder(kCsidlPrograms, kPrograms, static_cast<int32_t>(0x80070002)); },
     kGroupLinks},
    {"second link fails", [](InstallRunTest& t) { t.os_->DenyAccess(kGroup + "Fotelix Website.Lnk"); },
     {kGroup + "Fotelix Website.Lnk", kGroup + "Fotelix Manual.Lnk", kGroup + "Uninstall Fotelix.Lnk"}},
    {"registry refused", [](InstallRunTest& t) { t.os_->FailRegistry(true); }, {}},
    {"no desktop folder",
     [](InstallRunTest& t) {
       t.os_->SetShellFolder(kCsidlDesktopDirectory, kDesktop, static_cast<int32_t>(0x80070002));
     },
     {kDesktop + "\\Fotelix.Lnk"}},
    {"desktop link refused", [](InstallRunTest& t) { t.os_->DenyAccess(kDesktop); }, {kDesktop + "\\Fotelix.Lnk"}},
    // An empty answer must not put the links at the root of the current drive.
    {"Start-menu folder answered empty", [](InstallRunTest& t) { t.os_->SetShellFolder(kCsidlPrograms, "", 0); },
     kGroupLinks},
    {"desktop folder answered empty",
     [](InstallRunTest& t) { t.os_->SetShellFolder(kCsidlDesktopDirectory, "", 0); }, {kDesktop + "\\Fotelix.Lnk"}},
    {"installation copy refused", [](InstallRunTest& t) { t.os_->DenyAccess(kDefaultDir + "FXInst.Dat"); },
     {kDefaultDir + "FXInst.Dat"}},
    {"log refused", [](InstallRunTest& t) { t.os_->DenyAccess(kDefaultDir + "UnInstall.dat"); },
     {kDefaultDir + "UnInstall.dat"}},
};

class GuardedStepTest : public InstallRunTest, public testing::WithParamInterface<GuardedCase> {};

TEST_P(GuardedStepTest, FailsQuietly) {
  const GuardedCase& c = GetParam();
  const std::vector<std::string> everything = {
      kDefaultDir + "Fotelix.Exe",     kDefaultDir + "Uninstall.Exe", kGroup + "Fotelix.Lnk",
      kGroup + "Fotelix Website.Lnk",  kGroup + "Fotelix Manual.Lnk", kGroup + "Uninstall Fotelix.Lnk",
      kDesktop + "\\Fotelix.Lnk",      kDataDir + "Fotelix.Dat",      kDefaultDir + "FXInst.Dat",
      kDefaultDir + "UnInstall.dat"};
  MakeFolder(kDefaultDir);
  c.fault(*this);
  ASSERT_NO_THROW(Run());
  for (const std::string& path : everything) {
    const bool missing = std::find(c.missing.begin(), c.missing.end(), path) != c.missing.end();
    EXPECT_EQ(os_->FileExists(path), !missing) << path;
  }
  EXPECT_FALSE(os_->FolderExists("C:\\Fotelix"));
  EXPECT_FALSE(os_->FileExists("C:\\Fotelix.Lnk"));
  EXPECT_EQ(progress_.positions.back(), PositionAtPercent(progress_.Range(), 99));
}

INSTANTIATE_TEST_SUITE_P(Faults, GuardedStepTest, testing::ValuesIn(kGuarded), CaseName<GuardedCase>);

TEST_F(InstallRunTest, ExistingGroupAndFilesAreReplaced) {
  MakeFile(kPrograms + "\\Fotelix\\Fotelix.Lnk", "stale");
  MakeFile(kDefaultDir + "Uninstall.Exe", std::string(3'000'000, 'x'));
  MakeFile(kDefaultDir + "UnInstall.dat", std::string(5000, 'x'));
  Run();
  EXPECT_EQ(os_->ReadShellLink(kPrograms + "\\Fotelix\\Fotelix.Lnk").Description, "Fotelix");
  EXPECT_TRUE(os_->FileExists(kPrograms + "\\Fotelix\\Uninstall Fotelix.Lnk"));
  EXPECT_TRUE(Content(kDefaultDir + "Uninstall.Exe") == BuiltProgram(kUninstallerSourceFile));
  EXPECT_EQ(Content(kDefaultDir + "UnInstall.dat"), InstallLog(kDefaultDir, kDataDir));
}

TEST_F(InstallRunTest, WithoutDesktopShortcutNoLinkAndNoLogLine) {
  state_.CreateDesktopShortcut = false;
  Run();
  EXPECT_FALSE(os_->FileExists(kDesktop + "\\Fotelix.Lnk"));
  const std::string log = Content(kDefaultDir + "UnInstall.dat");
  EXPECT_EQ(log.find("<T"), std::string::npos);
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 11);
}

TEST_F(InstallRunTest, SettingsFileInDataFolderEndsTheRun) {
  os_->DenyAccess(kDataDir + "Fotelix.Dat");
  EXPECT_THROW(Run(), EPlatformError);
  EXPECT_TRUE(os_->FileExists(kDefaultDir + "Fotelix.Exe"));
  EXPECT_FALSE(os_->FileExists(kDefaultDir + "FXInst.Dat"));
  EXPECT_FALSE(os_->FileExists(kDefaultDir + "UnInstall.dat"));
}

TEST_F(InstallRunTest, MakeFolderCreatesParentsOrASingleLevel) {
  constexpr TFolderProtection kInherited = TFolderProtection::Inherited;
  ::MakeFolder(*os_, "C:\\A\\B\\C", kInherited);
  EXPECT_TRUE(os_->FolderExists("C:\\A\\B\\C\\"));
  // A parent that cannot be made fails the whole chain; the single level is
  // tried and fails as well.
  os_->FailCreateFolder("C:\\X");
  ::MakeFolder(*os_, "C:\\X\\Y\\", kInherited);
  EXPECT_FALSE(os_->FolderExists("C:\\X\\Y"));
  EXPECT_TRUE(ForceFolders(*os_, "C:", kInherited));
  EXPECT_TRUE(ForceFolders(*os_, "C:\\", kInherited));
  EXPECT_FALSE(ForceFolders(*os_, "Q:\\Fotelix\\", kInherited));  // no such drive
  // Names whose folder part is the name itself once walked up to: each
  // would recurse for ever.
  for (const char* path : {"C:\\x:", "C:\\x:\\", "C:\\a:b\\c", "C:\\x\\\\"})
    EXPECT_FALSE(ForceFolders(*os_, path, kInherited)) << path;
  EXPECT_TRUE(os_->ProtectedFolders().empty());
}

// An elevated setup writes only into trusted folders: the levels it makes
// outside Program Files are closed to other users, and a folder that
// someone else made, or that lies below a level others may change, is
// refused in one sentence, with nothing written there. Whatever Mallory, who
// shares the machine, tries on each folder the run opens (moving it away,
// a link in its place), she changes nothing of the install. A setup that is
// not elevated closes the levels it makes outside the user's profile to
// everyone but its user.
const std::string kMallory = "Mallory";

std::string Refused(const std::string& dir, const std::string& level) {
  return "Cannot install Fotelix in \"" + dir + "\": users other than administrators can change " +
         (level.empty() ? std::string("that folder") : "\"" + level + "\"") + ".";
}

void OnlyTheFallback(InstallRunTest& t) {
  for (const std::string& denied : {std::string("D:\\"), kProgramFiles, kLocalAppData}) t.os_->DenyAccess(denied);
}

struct ElevatedCase {
  const char* name;
  bool elevated;
  std::string chosen;
  void (*before)(InstallRunTest&);
  std::string error;
  std::vector<std::string> protectedFolders;
};

const ElevatedCase kElevated[] = {
    {"typed folder", true, "D:\\Apps\\Fotelix\\", [](InstallRunTest&) {}, "", {"D:\\Apps", "D:\\Apps\\Fotelix"}},
    {"Program Files", true, kDefaultDir, [](InstallRunTest&) {}, "", {}},
    {"a level below the root, open to all", true, "D:\\Apps\\Fotelix\\",
     [](InstallRunTest& t) { t.MakeFolder("D:\\Apps"); }, Refused("D:\\Apps\\Fotelix\\", "D:\\Apps\\"), {}},
    {"a folder she made first", true, "C:\\Fotelix\\",
     [](InstallRunTest& t) { t.os_->MakeFolderAs(kMallory, "C:\\Fotelix"); }, Refused("C:\\Fotelix\\", ""), {}},
    {"the last fallback", true, "D:\\Fotelix\\", OnlyTheFallback, "", {"C:\\Fotelix"}},
    {"the last fallback, which she made first", true, "D:\\Fotelix\\",
     [](InstallRunTest& t) {
       OnlyTheFallback(t);
       t.os_->MakeFolderAs(kMallory, "C:\\Fotelix");
     },
     Refused("C:\\Fotelix\\", ""), {}},
    {"not elevated, outside the profile", false, "D:\\Apps\\Fotelix\\", [](InstallRunTest&) {}, "",
     {"D:\\Apps", "D:\\Apps\\Fotelix"}},
    {"not elevated, in the profile", false, "C:\\Users\\Ann\\Apps\\Fotelix\\", [](InstallRunTest&) {}, "", {}},
};

class ElevatedInstallTest : public InstallRunTest, public testing::WithParamInterface<ElevatedCase> {};

TEST_P(ElevatedInstallTest, WritesOnlyIntoFoldersClosedToOthers) {
  using THost = THostSimPlatform;
  const ElevatedCase& c = GetParam();
  MapDrive('D', TDriveType::Fixed);
  os_->SetFolderSecurity(kProgramFiles, THost::kTrustedInstaller,
                         {THost::kTrustedInstaller, THost::kSystem, THost::kAdministrators});
  os_->SetFolderSecurity("C:\\Users", THost::kSystem, {THost::kSystem, THost::kAdministrators});
  os_->SetFolderSecurity("C:\\Users\\Ann", THost::kUser, {THost::kSystem, THost::kAdministrators, THost::kUser});
  os_->SetShellFolder(kCsidlProfile, "C:\\Users\\Ann", 0);
  os_->SetElevated(c.elevated);
  c.before(*this);
  std::vector<std::string> swapped;
  os_->OnFolderOpened([&](const std::string& path) {
    if (path.size() > 3 && (os_->RenameAs(kMallory, path, path + ".old") || os_->LinkAs(kMallory, path, "C:\\0")))
      swapped.push_back(path);
  });
  state_.InstallDir = c.chosen;
  if (!c.error.empty()) {
    try {
      Run();
      ADD_FAILURE() << "installed";
    } catch (const std::runtime_error& error) {
      EXPECT_EQ(std::string(error.what()), c.error);
    }
    EXPECT_FALSE(os_->FileExists(state_.InstallDir + "Fotelix.Exe"));
    return;
  }
  Run();
  EXPECT_TRUE(os_->FileExists(state_.InstallDir + "Fotelix.Exe"));
  EXPECT_EQ(os_->ProtectedFolders(), c.protectedFolders);
  EXPECT_EQ(swapped, std::vector<std::string>());
  EXPECT_FALSE(os_->WriteFileAs(kMallory, state_.InstallDir + "Uninstall.Exe", "MZ hers"));
  EXPECT_FALSE(os_->RenameAs(kMallory, WithoutBackslash(state_.InstallDir), "C:\\Moved"));
}

INSTANTIATE_TEST_SUITE_P(Folders, ElevatedInstallTest, testing::ValuesIn(kElevated), CaseName<ElevatedCase>);

// A chosen folder that exists but takes no files ends the run with the
// reason; nothing is installed elsewhere.
TEST_F(InstallRunTest, AChosenFolderThatTakesNoFilesEndsTheRun) {
  MakeFolder("C:\\Protected");
  os_->DenyAccess("C:\\Protected");
  state_.InstallDir = "C:\\Protected";
  try {
    Run();
    ADD_FAILURE() << "installed";
  } catch (const std::runtime_error& error) {
    EXPECT_EQ(std::string(error.what()), "Cannot install Fotelix in \"C:\\Protected\\\": access is denied (error 5)");
  }
  EXPECT_FALSE(os_->FileExists(kDefaultDir + "Fotelix.Exe"));
}

// A link in the place of the installation folder ends the run before a
// file is written through it; leftovers of an earlier run, and links planted
// at the names of the files made beside the program, are passed by.
TEST_F(InstallRunTest, LinksAtTheFolderAndAtTheTemporaryNamesAreNotFollowed) {
  namespace fs = std::filesystem;
  MakeFile("C:\\Victim\\kept.txt", "victim");
  MakeFile(kDefaultDir + "~FXProbe.tmp", "left by an earlier run");
  std::error_code ec;
  fs::create_symlink(os_->HostPath("C:\\Victim\\kept.txt"), os_->HostPath(kDefaultDir) / "Fotelix.Exe.new",
                     ec);
  if (!ec)
    fs::create_symlink(os_->HostPath("C:\\Victim") / "made.txt",
                       os_->HostPath(kDefaultDir) / "~FXProbe.tmp.1", ec);
  if (!ec) fs::create_directory_symlink(os_->HostPath("C:\\Victim"), os_->HostPath("C:\\Linked"), ec);
  // Where the system cannot make links (the Windows build under Wine), the
  // leftover alone is passed by.
  Run();
  EXPECT_TRUE(Content(kDefaultDir + "Fotelix.Exe") == BuiltProgram(kProgramSourceFile));
  EXPECT_EQ(Content("C:\\Victim\\kept.txt"), "victim");
  EXPECT_EQ(Content(kDefaultDir + "~FXProbe.tmp"), "left by an earlier run");
  EXPECT_FALSE(os_->FileExists("C:\\Victim\\made.txt"));
  EXPECT_FALSE(os_->FileExists(kDefaultDir + "Fotelix.Exe.new.1"));
  EXPECT_FALSE(os_->FileExists(kDefaultDir + "~FXProbe.tmp.2"));
  if (ec) return;

  state_.InstallDir = "C:\\Linked\\";
  try {
    Run();
    ADD_FAILURE() << "installed through a link";
  } catch (const std::runtime_error& error) {
    EXPECT_EQ(std::string(error.what()),
              "Cannot install Fotelix in \"C:\\Linked\\\": that folder is a link (a junction or a "
              "symbolic link) to another place.");
  }
  const auto victim = fs::directory_iterator(os_->HostPath("C:\\Victim"));
  EXPECT_EQ(std::distance(fs::begin(victim), fs::end(victim)), 1);
}

}  // namespace
