#include "install/UninstallRemover.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "install/Uninstall.h"
#include "lib/LIB_Text.h"
#include "platform/Path.h"
#include "unit/CaseName.h"
#include "unit/Uninstaller_fixture.h"

namespace {

namespace fs = std::filesystem;

struct WholeCase {
  const char* name;
  bool dataFolderFails;  // the data folder falls back to the installation folder
};

const WholeCase kWholes[] = {{"own data folder", false}, {"data in the installation folder", true}};

class WholeRemovalTest : public UninstallerTest, public testing::WithParamInterface<WholeCase> {};

TEST_P(WholeRemovalTest, AnInstallIsRemovedWithoutATrace) {
  const WholeCase& c = GetParam();
  if (c.dataFolderFails) os_->FailCreateFolder(kLocalAppData + "\\Fotelix\\");
  const std::set<std::string> before = Snapshot();

  Install();
  ASSERT_TRUE(os_->FileExists(kPrograms + "\\Fotelix\\Uninstall Fotelix.Lnk"));
  ASSERT_TRUE(os_->FileExists(state_.DataDir + "Fotelix.Dat"));
  // What the product makes while in use, and the user's own doing: an empty
  // cache, cached pictures, a link out of the data folder to the user's
  // pictures, and a desktop link already deleted.
  MakeFolder(state_.InstallDir + "cache");
  if (!c.dataFolderFails) {
    MakeFile(state_.CacheDir + "a1.jpg", "cached");
    // Where the system cannot make one (the Windows build under Wine), the
    // scenario goes on without it.
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

INSTANTIATE_TEST_SUITE_P(DataFolders, WholeRemovalTest, testing::ValuesIn(kWholes), CaseName<WholeCase>);

TEST_F(UninstallerTest, WhatCannotGoIsReportedAndGoesOnASecondRun) {
  Install();
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

const std::string kDataDir = kLocalAppData + "\\Fotelix\\";

struct SwapCase {
  const char* name;
  std::string swapped;  // the folder that becomes a link to C:\Victim once opened
  std::string movedTo;  // where the folder itself goes meanwhile
  std::vector<std::string> stayed;
};

const SwapCase kSwaps[] = {
    // Emptied through its handle under its new name, which keeps the data
    // folder; the link at the old name goes itself.
    {"the data folder's cache, moved aside", kDataDir + "cache", kDataDir + "cache.old", {kDataDir}},
    // No longer in the data folder: not entered.
    {"a folder in the cache, moved away", kDataDir + "cache\\thumbs", "C:\\Moved", {}},
    // No longer where the log says: nothing removed from it; the files that
    // the log names are still there, one of them seen through the link.
    {"the installation folder",
     WithoutBackslash(kInstallDir),
     "C:\\Program Files\\Fotelix.old",
     {kInstallDir + "Fotelix.Exe", kInstallDir + "Fotelix.dat"}},
};

class SwapTest : public UninstallerTest, public testing::WithParamInterface<SwapCase> {};

TEST_P(SwapTest, AFolderSwappedForALinkAfterItIsOpenedRedirectsNothing) {
  const SwapCase& c = GetParam();
  std::error_code ec;
  fs::create_directory_symlink(root_, root_ / "link", ec);
  if (ec) GTEST_SKIP() << "no host link can be made here";
  Install();
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

INSTANTIATE_TEST_SUITE_P(Folders, SwapTest, testing::ValuesIn(kSwaps), CaseName<SwapCase>);

// A link put above the installation folder while the uninstaller works
// (here, once the data folder is reached): the folder of that name behind
// the link is another user's, and stays, and the installation folder is
// reported as left in place.
TEST_F(UninstallerTest, ALinkAboveTheInstallationFolderLeavesWhatItLeadsTo) {
  state_.InstallDir = "C:\\Tools\\Apps\\Fotelix\\";
  Install();
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

}  // namespace
