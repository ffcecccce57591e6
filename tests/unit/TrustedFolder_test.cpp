#include "platform/TrustedFolder.h"

#include <gtest/gtest.h>

#include <vector>

#include "unit/HostSim_fixture.h"

namespace {

// The one rule for the folders that an elevated setup writes into, level by
// level through handles: what exists must be owned and changed only by
// trusted accounts (a level above may let others add), a missing folder may
// be made below trusted levels, and a folder owned by a trusted account
// whose own access list is open may be protected.
TEST_F(HostSimTest, TrustedFoldersAreClosedToOthersAtEveryLevel) {
  using THost = THostSimPlatform;
  const std::string bob = "Bob";
  MakeFolder("C:\\Program Files\\Other");
  MakeFolder("C:\\Windows\\System32");
  MakeFolder("C:\\Users\\Bob\\Documents");
  MakeFolder("C:\\Apps");
  os_->SetFolderSecurity("C:\\Program Files", THost::kTrustedInstaller,
                         {THost::kTrustedInstaller, THost::kSystem, THost::kAdministrators});
  os_->SetFolderSecurity("C:\\Windows", THost::kTrustedInstaller, {THost::kTrustedInstaller});
  os_->SetFolderSecurity("C:\\Users", THost::kSystem, {THost::kSystem, THost::kAdministrators});
  os_->SetFolderSecurity("C:\\Users\\Bob", bob, {THost::kSystem, THost::kAdministrators, bob});
  ASSERT_TRUE(os_->MakeFolderAs("Mallory", "C:\\0"));
  const bool links = os_->LinkAs("Mallory", "C:\\Link", "C:\\Program Files");
  struct Row {
    std::string folder, failed;
    bool exists, link, mayProtect;
  };
  std::vector<Row> rows = {
      {"C:\\Program Files\\Other\\", "", true, false, false},
      {"c:\\program files\\New\\", "", false, false, false},
      {"C:\\Windows\\System32\\", "", true, false, false},
      {"C:\\Users\\Bob\\Documents\\", "C:\\Users\\Bob\\", false, false, false},
      {"C:\\Apps\\", "C:\\Apps\\", true, false, true},
      {"C:\\Apps\\Fotelix\\", "C:\\Apps\\", false, false, false},
      {"C:\\0\\", "C:\\0\\", true, false, false},
  };
  if (links) rows.push_back({"C:\\Link\\Other\\", "C:\\Link\\", false, true, false});
  for (const Row& row : rows) {
    const TFolderCheck check = CheckFolder(*os_, row.folder);
    EXPECT_EQ(check.Failed, row.failed) << row.folder;
    EXPECT_EQ(check.Folder != nullptr, row.exists) << row.folder;
    EXPECT_EQ(check.FailedIsLink, row.link) << row.folder;
    EXPECT_EQ(check.MayProtect, row.mayProtect) << row.folder;
  }
  os_->SetElevated(true);
  ASSERT_TRUE(CheckFolder(*os_, "C:\\Apps\\").Folder->TryProtect());
  EXPECT_TRUE(CheckFolder(*os_, "C:\\Apps\\").Trusted());
  EXPECT_FALSE(os_->WriteFileAs("Mallory", "C:\\Apps\\x.exe", "MZ"));
  // Her folder stays hers: she could open it again.
  ASSERT_TRUE(CheckFolder(*os_, "C:\\0\\").Folder->TryProtect());
  EXPECT_EQ(CheckFolder(*os_, "C:\\0\\").Failed, "C:\\0\\");
}

}  // namespace
