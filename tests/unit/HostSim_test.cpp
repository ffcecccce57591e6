#include "platform/hostsim/HostSim.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "unit/HostSim_fixture.h"

namespace {

struct MaskCase {
  const char* mask;
  const char* name;
  bool matches;
};

TEST(MatchesMaskTest, FollowsWindowsRules) {
  const MaskCase cases[] = {
      {"*.*", "readme.txt", true},
      {"*.*", "README", true},  // ".*" also matches a name without a dot
      {"*.*", ".", true},
      {"*.*", "..", true},
      {"*", "a.b.c", true},
      {"Fotelix.exe", "FOTELIX.EXE", true},
      {"Fotelix.exe", "Fotelix.exe.bak", false},
      {"Fotelix.exe", "Fotelix.ex", false},
      {"*.exe", "a.exe", true},
      {"*.exe", "a.exe.txt", false},
      {"f?t*.dat", "FOTELIX.DAT", true},
      {"f?t*.dat", "ft.dat", false},
      {"*.txt", "txt", false},
      {"a*b*c", "aXbYbZc", true},
      {"a*b*c", "aXbYbZ", false},
      {"\xC4*", "\xE4x", false},  // only A to Z fold, as the path comparison does
  };
  for (const MaskCase& c : cases)
    EXPECT_EQ(MatchesMask(c.mask, c.name), c.matches) << c.mask << " vs " << c.name;
}

TEST_F(HostSimTest, NamesMatchWithoutRegardToCase) {
  MakeFile("C:\\Program Files\\Fotelix\\Fotelix.Exe", "MZ");
  EXPECT_TRUE(os_->FileExists("c:\\PROGRAM FILES\\fotelix\\FOTELIX.EXE"));
  EXPECT_TRUE(os_->FolderExists("C:\\program files\\FOTELIX\\"));
  EXPECT_FALSE(os_->FolderExists("C:\\program files\\FOTELIX\\Fotelix.Exe"));
  EXPECT_FALSE(os_->FileExists("D:\\Fotelix.Exe"));  // no such drive
  EXPECT_FALSE(os_->FileExists("Fotelix.Exe"));
  // Writing through another spelling reaches the same file.
  auto file = os_->OpenFile("C:\\PROGRAM FILES\\FOTELIX\\fotelix.exe", TOpenMode::CreateTruncate);
  file->Write("new", 3);
  file->Close();
  EXPECT_EQ(Content("C:\\Program Files\\Fotelix\\Fotelix.Exe"), "new");
  // The full form, with the stored spelling of what exists and the rest as given.
  os_->SetCurrentFolder("C:\\Program Files");
  EXPECT_EQ(os_->LongPathName("c:\\program files\\.\\x\\..\\FOTELIX\\New\\"),
            "C:\\Program Files\\Fotelix\\New\\");
  EXPECT_EQ(os_->LongPathName("fotelix\\fotelix.exe"), "C:\\Program Files\\Fotelix\\Fotelix.Exe");
  EXPECT_EQ(os_->LongPathName("\\"), "C:\\");
}

TEST_F(HostSimTest, FindAppliesTheAttributeMask) {
  MakeFile("C:\\Data\\plain.txt");
  MakeFile("C:\\Data\\hidden.txt");
  MakeFile("C:\\Data\\system.txt");
  MakeFolder("C:\\Data\\Sub");
  MakeFolder("C:\\Data\\Secret");
  os_->SetAttributes("C:\\Data\\hidden.txt", faHidden);
  os_->SetAttributes("C:\\Data\\system.txt", faSysFile | faReadOnly);
  os_->SetAttributes("C:\\Data\\Secret", faHidden);

  const auto names = [&](uint32_t mask) {
    std::vector<std::string> found;
    TFind find(*os_, "C:\\Data\\*.*", mask);
    for (TSearchRec rec; find.Next(rec);) found.push_back(rec.Name);
    return found;
  };
  using V = std::vector<std::string>;
  EXPECT_EQ(names(faAnyFile), (V{".", "..", "hidden.txt", "plain.txt", "Secret", "Sub", "system.txt"}));
  EXPECT_EQ(names(faReadOnly | faSysFile | faArchive | faDirectory),
            (V{".", "..", "plain.txt", "Sub", "system.txt"}));
  EXPECT_EQ(names(faArchive), (V{"plain.txt"}));
  EXPECT_EQ(names(faHidden), (V{"hidden.txt", "plain.txt"}));

  TFind root(*os_, "C:\\*.*", faAnyFile);  // a root has no "." and ".."
  TSearchRec rec;
  ASSERT_TRUE(root.Next(rec));
  EXPECT_EQ(rec.Name, "Data");
  EXPECT_EQ(rec.Attr & faDirectory, faDirectory);
  EXPECT_FALSE(root.Next(rec));

  TFind none(*os_, "C:\\Missing\\*.*", faAnyFile);
  EXPECT_FALSE(none.Next(rec));
}

TEST_F(HostSimTest, FaultsRaiseWithTheSystemCodes) {
  MakeFile("C:\\App\\Locked.exe", "old");
  MakeFile("C:\\App\\ReadOnly.txt", "old");
  os_->LockFile("C:\\app\\locked.EXE");
  os_->SetAttributes("C:\\App\\ReadOnly.txt", faReadOnly);
  os_->DenyAccess("C:\\Denied");
  MakeFile("C:\\Denied\\inner.txt", "x");

  struct Case {
    const char* path;
    TOpenMode mode;
    uint32_t code;
  };
  const Case cases[] = {
      {"C:\\App\\Locked.exe", TOpenMode::CreateTruncate, kErrorSharingViolation},
      {"C:\\App\\Locked.exe", TOpenMode::WriteExisting, kErrorSharingViolation},
      {"C:\\App\\ReadOnly.txt", TOpenMode::CreateTruncate, kErrorAccessDenied},
      {"C:\\Denied\\inner.txt", TOpenMode::Read, kErrorAccessDenied},
      {"C:\\Denied\\new.txt", TOpenMode::CreateTruncate, kErrorAccessDenied},
      {"C:\\App\\missing.txt", TOpenMode::Read, kErrorFileNotFound},
      {"C:\\App\\missing.txt", TOpenMode::WriteExisting, kErrorFileNotFound},
      {"C:\\NoFolder\\new.txt", TOpenMode::CreateTruncate, kErrorPathNotFound},
      {"Q:\\new.txt", TOpenMode::CreateTruncate, kErrorPathNotFound},
      {"C:\\App", TOpenMode::Read, kErrorAccessDenied},
  };
  for (const Case& c : cases) {
    try {
      os_->OpenFile(c.path, c.mode);
      ADD_FAILURE() << c.path << " opened";
    } catch (const EPlatformError& e) {
      EXPECT_EQ(e.Code(), c.code) << c.path;
      EXPECT_NE(std::string(e.what()).find(c.path), std::string::npos) << e.what();
    }
  }
  // A locked file can still be read, as a running program can.
  EXPECT_NO_THROW(os_->OpenFile("C:\\App\\Locked.exe", TOpenMode::Read));
  EXPECT_FALSE(os_->RemoveFile("C:\\App\\Locked.exe"));
  EXPECT_FALSE(os_->RemoveFile("C:\\App\\ReadOnly.txt"));
  EXPECT_FALSE(os_->CreateFolder("C:\\Denied\\Sub"));
  TFind denied(*os_, "C:\\Denied\\*.*", faAnyFile);
  TSearchRec rec;
  EXPECT_FALSE(denied.Next(rec));
  os_->LockFile("C:\\App\\Locked.exe", false);
  EXPECT_TRUE(os_->RemoveFile("C:\\App\\Locked.exe"));
  EXPECT_EQ(Content("C:\\App\\ReadOnly.txt"), "old");
}

TEST_F(HostSimTest, FoldersAndTheirFaults) {
  EXPECT_TRUE(os_->CreateFolder("C:\\One"));
  EXPECT_FALSE(os_->CreateFolder("C:\\one"));  // exists already
  EXPECT_FALSE(os_->CreateFolder("C:\\Two\\Three"));  // one level only
  os_->FailCreateFolder("C:\\Program Files\\");
  EXPECT_FALSE(os_->CreateFolder("C:\\PROGRAM FILES"));
  EXPECT_FALSE(os_->FolderExists("C:\\Program Files"));
  EXPECT_TRUE(os_->DeleteFolder("C:\\ONE\\"));
  EXPECT_FALSE(os_->FolderExists("C:\\One"));
}

TEST_F(HostSimTest, DiskFillsAfterTheGivenBytes) {
  os_->SetDiskSpace('c', 10);
  auto file = os_->OpenFile("C:\\big.bin", TOpenMode::CreateTruncate);
  file->Write("123456", 6);
  try {
    file->Write("abcdef", 6);
    ADD_FAILURE() << "the disk did not fill";
  } catch (const EPlatformError& e) {
    EXPECT_EQ(e.Code(), kErrorDiskFull);
  }
  file->Close();
  EXPECT_EQ(Content("C:\\big.bin"), "123456abcd");
}

TEST_F(HostSimTest, MoveReplaceHonoursLocks) {
  MakeFile("C:\\a.new", "new");
  MakeFile("C:\\A.exe", "old");
  os_->LockFile("C:\\a.exe");
  EXPECT_THROW(os_->MoveReplace("C:\\a.new", "C:\\a.exe"), EPlatformError);
  os_->LockFile("C:\\a.exe", false);
  os_->MoveReplace("C:\\a.new", "C:\\a.exe");
  EXPECT_EQ(Content("C:\\A.exe"), "new");
  EXPECT_FALSE(os_->FileExists("C:\\a.new"));
}

// A file made new never opens what has the name already, nor what a link
// there points to; the next free name is taken instead.
TEST_F(HostSimTest, CreateNewNeverOpensWhatIsThere) {
  namespace fs = std::filesystem;
  MakeFile("C:\\Fotelix\\a.new", "left over");
  MakeFolder("C:\\Fotelix\\a.new.1");
  MakeFile("C:\\Victim\\kept.txt", "victim");
  std::vector<std::string> taken = {"a.new", "a.new.1"};
  // A link to a file and one to nowhere, where the system can make them (not
  // the Windows build under Wine).
  std::error_code ec;
  fs::create_symlink(os_->HostPath("C:\\Victim\\kept.txt"), os_->HostPath("C:\\Fotelix") / "a.new.2", ec);
  if (!ec)
    fs::create_symlink(os_->HostPath("C:\\Victim") / "made.txt", os_->HostPath("C:\\Fotelix") / "a.new.3",
                       ec);
  if (!ec) taken.insert(taken.end(), {"a.new.2", "a.new.3"});
  const std::string first = "C:\\Fotelix\\a.new." + std::to_string(taken.size());
  for (const std::string& name : taken) {
    try {
      os_->OpenFile("C:\\Fotelix\\" + name, TOpenMode::CreateNew);
      ADD_FAILURE() << name;
    } catch (const EPlatformError& e) {
      EXPECT_EQ(e.Code(), kErrorFileExists) << name;
    }
  }
  std::string made;
  auto file = CreateNewFile(*os_, "C:\\Fotelix\\a.new", made);
  file->Write("new", 3);
  file->Close();
  EXPECT_EQ(made, first);
  EXPECT_EQ(Content(first), "new");
  EXPECT_EQ(Content("C:\\Fotelix\\a.new"), "left over");
  EXPECT_EQ(Content("C:\\Victim\\kept.txt"), "victim");
  EXPECT_FALSE(os_->FileExists("C:\\Victim\\made.txt"));
  // With every name taken, the failure says why.
  for (int n = 0; n < 16; ++n) MakeFile("C:\\Full\\b.tmp" + (n ? "." + std::to_string(n) : ""));
  try {
    CreateNewFile(*os_, "C:\\Full\\b.tmp", made);
    ADD_FAILURE() << made;
  } catch (const EPlatformError& e) {
    EXPECT_EQ(std::string(e.what()),
              "Cannot open for writing \"C:\\Full\\b.tmp.15\": the file exists (error 80)");
  }
}

TEST_F(HostSimTest, LinksAndRegistryAreReadableFiles) {
  MakeFolder("C:\\Menu");
  TShellLink link{"C:\\Fotelix\\Fotelix.Exe", "Fotelix", "/x", "C:\\Fotelix\\Fotelix.Exe", 0};
  os_->CreateShellLink(link, "C:\\Menu\\Fotelix.Lnk");
  TShellLink web{"http://www.example/fotelix", "On the web", "", "", -1};
  os_->CreateShellLink(web, "C:\\Menu\\Web.Lnk");
  EXPECT_EQ(Content("C:\\Menu\\Fotelix.Lnk"),
            "[ShellLink]\nTarget=C:\\Fotelix\\Fotelix.Exe\nDescription=Fotelix\nArguments=/x\n"
            "IconLocation=C:\\Fotelix\\Fotelix.Exe,0\n");
  const TShellLink back = os_->ReadShellLink("c:\\menu\\web.lnk");
  EXPECT_EQ(back.Target, web.Target);
  EXPECT_EQ(back.Description, web.Description);
  EXPECT_EQ(back.IconIndex, -1);
  EXPECT_THROW(os_->CreateShellLink(link, "C:\\NoMenu\\Fotelix.Lnk"), EPlatformError);

  const std::string key = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Fotelix";
  os_->WriteRegistryString(key, "DisplayName", "Fotelix");
  os_->WriteRegistryString(key, "UninstallString", "\"C:\\Program Files\\Uninstall.Exe\"");
  os_->WriteRegistryString(key, "displayname", "Fotelix 2");
  std::string value;
  ASSERT_TRUE(os_->ReadRegistryString("SOFTWARE\\microsoft\\windows\\currentversion\\uninstall\\fotelix",
                                      "DISPLAYNAME", value));
  EXPECT_EQ(value, "Fotelix 2");
  EXPECT_FALSE(os_->ReadRegistryString(key, "Missing", value));
  std::ifstream file(os_->RegistryFile(), std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  EXPECT_EQ(text.str(), "HKEY_LOCAL_MACHINE\\" + key + "\tdisplayname\tFotelix 2\n" +
                            "HKEY_LOCAL_MACHINE\\" + key +
                            "\tUninstallString\t\"C:\\Program Files\\Uninstall.Exe\"\n");
  // A key goes with its values, never with sub-keys.
  EXPECT_FALSE(os_->DeleteRegistryKey("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"));
  EXPECT_TRUE(os_->DeleteRegistryKey("software\\microsoft\\windows\\currentversion\\uninstall\\FOTELIX"));
  EXPECT_FALSE(os_->ReadRegistryString(key, "UninstallString", value));
  EXPECT_TRUE(os_->DeleteRegistryKey(key));
  os_->FailRegistry(true);
  EXPECT_THROW(os_->WriteRegistryString(key, "DisplayName", "x"), EPlatformError);
}

TEST_F(HostSimTest, ShellFoldersProgramsAndClock) {
  std::string path = "stale";
  EXPECT_NE(os_->GetShellFolder(kCsidlProgramFiles, path), 0);
  EXPECT_EQ(path, "");
  os_->SetShellFolder(kCsidlProgramFiles, "C:\\Program Files", 0);
  os_->SetShellFolder(kCsidlLocalAppData, "C:\\Local", static_cast<int32_t>(0x80004005));
  EXPECT_EQ(os_->GetShellFolder(kCsidlProgramFiles, path), 0);
  EXPECT_EQ(path, "C:\\Program Files");
  EXPECT_EQ(os_->GetShellFolder(kCsidlLocalAppData, path), static_cast<int32_t>(0x80004005));

  os_->StartProgram("\"C:\\Program Files\\Fotelix\\Fotelix.Exe\"", kSwShowMaximized);
  os_->ShellOpen("mailto:support@example");
  ASSERT_EQ(os_->StartedPrograms().size(), 1u);
  EXPECT_EQ(os_->StartedPrograms()[0].second, kSwShowMaximized);
  EXPECT_EQ(os_->OpenedDocuments(), std::vector<std::string>{"mailto:support@example"});
  os_->FailStartProgram(true);
  EXPECT_THROW(os_->StartProgram("x.exe", kSwShowNormal), EPlatformError);

  os_->SetClock(TLocalTime{2024, 2, 28, 0, 23, 59, 59, 999});
  os_->Sleep(1);  // into the leap day
  TLocalTime t = os_->LocalTime();
  EXPECT_EQ(std::vector<int>({t.Year, t.Month, t.Day, t.DayOfWeek, t.Hour, t.Minute, t.Second,
                              t.Millisecond}),
            std::vector<int>({2024, 2, 29, 4, 0, 0, 0, 0}));
  os_->Sleep(86400000);
  t = os_->LocalTime();
  EXPECT_EQ(std::vector<int>({t.Month, t.Day, t.DayOfWeek}), std::vector<int>({3, 1, 5}));
  EXPECT_EQ(os_->SleptMilliseconds(), 86400001u);
}


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
  ASSERT_TRUE(os_->CreateFolder("C:\\Closed", TFolderProtection::ClosedToOthers));
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
    const auto folder = os_->OpenFolderNoFollow(s.folder);
    ASSERT_TRUE(folder) << s.folder;
    const TFolderAccess access = folder->Access();
    EXPECT_EQ(std::vector<bool>({access.OwnerIsTrusted, access.OthersMayAdd, access.OthersMayRemove,
                                 access.OthersMayChangeRules}),
              std::vector<bool>({s.ownerTrusted, s.othersAdd, s.othersRemove, s.othersRemove}))
        << s.folder;
  }
}

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
  ASSERT_TRUE(CheckFolder(*os_, "C:\\Apps\\").Folder->Protect());
  EXPECT_TRUE(CheckFolder(*os_, "C:\\Apps\\").Trusted());
  EXPECT_FALSE(os_->WriteFileAs("Mallory", "C:\\Apps\\x.exe", "MZ"));
  // Her folder stays hers: she could open it again.
  ASSERT_TRUE(CheckFolder(*os_, "C:\\0\\").Folder->Protect());
  EXPECT_EQ(CheckFolder(*os_, "C:\\0\\").Failed, "C:\\0\\");
}

}  // namespace
