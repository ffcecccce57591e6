#include "platform/hostsim/HostSim.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/FolderHandle.h"
#include "unit/HostSim_fixture.h"

namespace {

// Another user may change what the folders let her change, and only that:
// a drive's root lets every user make folders, which every user may then
// change; Program Files, a profile, a folder closed to others and the
// running program's file refuse her. What the setup sees of each folder
// through its handle follows, and a folder keeps its access list when it
// is moved.
TEST_F(HostSimTest, AnotherUserChangesWhatTheFoldersLetHerChangeAndOnlyThat) {
  using THost = THostSimPlatform;
  const std::string mallory = "Mallory";
  MakeFolder("C:\\Program Files\\Other");
  os_->SetFolderSecurity("C:\\Program Files", THost::kTrustedInstaller,
                         {THost::kTrustedInstaller, THost::kSystem, THost::kAdministrators});
  MakeFolder("C:\\Apps");  // made the ordinary way, below the root
  os_->SetElevated(true);
  ASSERT_TRUE(os_->TryCreateFolder("C:\\Closed", TFolderProtection::ClosedToOthers));
  MakeFile("C:\\Setup\\Install_Fotelix.exe", "MZ");
  os_->SetProgramPath("C:\\Setup\\Install_Fotelix.exe");
  struct Step {
    const char* name;
    std::function<bool()> act;
    bool allowed;
  };
  const Step steps[] = {
      {"a folder at the root", [&] { return os_->MakeFolderAs(mallory, "C:\\0"); }, true},
      {"a file at the root", [&] { return os_->WriteFileAs(mallory, "C:\\x.exe", "MZ"); }, false},
      {"a file in her folder", [&] { return os_->WriteFileAs(mallory, "C:\\0\\Fotelix.exe", "MZ"); }, true},
      {"a file in Program Files", [&] { return os_->WriteFileAs(mallory, "C:\\Program Files\\x.exe", "MZ"); }, false},
      {"a folder below Program Files' own",
       [&] { return os_->MakeFolderAs(mallory, "C:\\Program Files\\Other\\Sub"); }, false},
      {"Program Files moved", [&] { return os_->RenameAs(mallory, "C:\\Program Files", "C:\\PF"); }, false},
      {"a folder closed to others moved", [&] { return os_->RenameAs(mallory, "C:\\Closed", "C:\\Old"); }, false},
      {"a file in it", [&] { return os_->WriteFileAs(mallory, "C:\\Closed\\x.exe", "MZ"); }, false},
      {"an ordinary folder moved", [&] { return os_->RenameAs(mallory, "C:\\Apps", "C:\\Apps.old"); }, true},
      {"and one of hers in its place", [&] { return os_->MakeFolderAs(mallory, "C:\\Apps"); }, true},
      {"the running program replaced",
       [&] { return os_->WriteFileAs(mallory, "C:\\Setup\\Install_Fotelix.exe", "MZ hers"); }, false},
      {"the running program moved",
       [&] { return os_->RenameAs(mallory, "C:\\Setup\\Install_Fotelix.exe", "C:\\Setup\\old.exe"); }, false},
  };
  for (const Step& step : steps) EXPECT_EQ(step.act(), step.allowed) << step.name;
  EXPECT_EQ(os_->FolderSecurity("C:\\Apps.old").Owner, THost::kUser);  // kept when moved
  EXPECT_EQ(os_->FolderSecurity("C:\\Apps").Owner, mallory);
  EXPECT_TRUE(os_->IsThisProgram("c:\\setup\\INSTALL_FOTELIX.EXE"));
  EXPECT_FALSE(os_->IsThisProgram("C:\\0\\Fotelix.exe"));

  struct Seen {
    const char* folder;
    bool ownerTrusted, othersAdd, othersRemove;
  };
  const Seen seen[] = {
      {"C:\\", true, true, false},
      {"C:\\Program Files\\Other", true, false, false},
      {"C:\\Closed", true, false, false},
      {"C:\\Apps.old", true, true, true},
      {"C:\\0", false, true, true},
  };
  for (const Seen& s : seen) {
    const auto folder = os_->TryOpenFolderNoFollow(s.folder);
    ASSERT_TRUE(folder) << s.folder;
    const TFolderAccess access = folder->Access();
    EXPECT_EQ(std::vector<bool>({access.OwnerIsTrusted, access.OthersMayAdd, access.OthersMayRemove,
                                 access.OthersMayChangeRules}),
              std::vector<bool>({s.ownerTrusted, s.othersAdd, s.othersRemove, s.othersRemove}))
        << s.folder;
  }
}


}  // namespace
