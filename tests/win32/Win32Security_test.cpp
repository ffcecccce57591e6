#include "platform/win32/Win32Security.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/Files.h"
#include "platform/Find.h"
#include "platform/TrustedFolder.h"
#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Platform.h"
#include "win32/Win32TestFolders.h"

namespace {

// The folder of the running test program, with its closing backslash.
std::string ProgramFolder() {
  char exe[MAX_PATH + 1] = {};
  GetModuleFileNameA(nullptr, exe, MAX_PATH);
  std::string folder = exe;
  folder.resize(folder.find_last_of('\\') + 1);
  return folder;
}

// The folder's access list as the system gives it back, in its text form.
std::string DaclOf(const std::string& path) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  PACL dacl = nullptr;
  if (GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                            &dacl, nullptr, &descriptor) != ERROR_SUCCESS)
    return "<unreadable>";
  char* text = nullptr;
  const BOOL converted = ConvertSecurityDescriptorToStringSecurityDescriptorA(
      descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr);
  const TLocalText ownedText(text);
  LocalFree(descriptor);
  return converted ? std::string(text) : "<not convertible>";
}

class Win32SecurityTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = MakeTestFolder(testing::UnitTest::GetInstance()->current_test_info()->name());
    ASSERT_FALSE(dir_.empty());
  }

  void TearDown() override {
    for (const std::string& file : files_) DeleteFileA(file.c_str());
    for (auto folder = folders_.rbegin(); folder != folders_.rend(); ++folder)
      RemoveDirectoryA(folder->c_str());
    RemoveDirectoryA(dir_.c_str());
  }

  std::string dir_;
  std::vector<std::string> files_, folders_;
  TWin32Platform os_;
};

// Whether the process is elevated is printed for the record (Wine runs its
// processes with an administrator's full token). A folder made for programs
// lies in Program Files or not by the long forms of both; outside it, an
// elevated setup makes each level with exactly the protection of Program
// Files, and a folder made with an explicit protection carries it, where
// the system keeps a folder's own protection at all (Wine maps protections
// onto the Unix file modes and gives back its own defaults).
TEST_F(Win32SecurityTest, FoldersForProgramsCarryTheProtectionOfProgramFiles) {
  const bool elevated = IsElevated();
  std::printf("[ elevated ] %s; user %s\n", elevated ? "yes" : "no", CurrentUserSid().c_str());
  RecordProperty("elevated", elevated ? "yes" : "no");

  const std::string programFiles = os_.GetShellFolder(kCsidlProgramFiles).Known().value_or("");
  ASSERT_NE(programFiles, "");
  char shortName[MAX_PATH] = {};
  ASSERT_NE(GetShortPathNameA(programFiles.c_str(), shortName, MAX_PATH), 0u);
  EXPECT_TRUE(IsInProgramFiles(os_, std::string(shortName) + "\\Fotelix\\"));
  EXPECT_TRUE(IsInProgramFiles(os_, programFiles + "\\New\\..\\Fotelix"));
  EXPECT_FALSE(IsInProgramFiles(os_, programFiles + " Old\\Fotelix"));
  EXPECT_FALSE(IsInProgramFiles(os_, dir_ + "Fotelix"));

  const std::string made = dir_ + "Made";
  const std::string plain = dir_ + "Plain";
  const std::string level = dir_ + "Apps";
  const std::string inside = programFiles + "\\fx-" + std::to_string(GetTickCount());
  folders_.insert(folders_.end(), {made, plain, level, level + "\\Fotelix", inside});
  ASSERT_TRUE(CreateProtectedFolder(made, kProgramFilesProtection));
  EXPECT_FALSE(CreateProtectedFolder(made, kProgramFilesProtection));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  ASSERT_TRUE(os_.TryCreateFolder(plain));
  ASSERT_TRUE(os_.TryCreateFolder(level, TFolderProtection::ClosedToOthers));
  ASSERT_TRUE(os_.TryCreateFolder(level + "\\Fotelix", TFolderProtection::ClosedToOthers));
  ASSERT_TRUE(os_.TryCreateFolder(inside, TFolderProtection::ClosedToOthers));

  // What the system keeps of the protection: all of it on Windows; under
  // Wine, what its Unix file modes can hold, which still tells a protected
  // folder from one that is not.
  const std::string kept = DaclOf(made);
  std::printf("[ kept     ] %s, unprotected %s\n", kept.c_str(), DaclOf(plain).c_str());
  if (kept.find(";BA)") != std::string::npos)
    EXPECT_EQ(kept, kProgramFilesProtection);
  else
    EXPECT_NE(kept, DaclOf(plain));
  if (elevated) {
    EXPECT_EQ(DaclOf(level), kept);
    EXPECT_EQ(DaclOf(level + "\\Fotelix"), kept);
  }
  // Neither the user's own folder nor one in Program Files is protected from
  // what its parent passes on.
  for (const std::string& folder : {plain, inside}) {
    EXPECT_NE(DaclOf(folder), kept) << folder;
    EXPECT_NE(DaclOf(folder).substr(0, 3), "D:P") << folder << ": " << DaclOf(folder);
  }
}

// Made new means the name itself: an existing file, a link to a file and a
// link to nowhere all refuse, the targets untouched, and the next free name
// is taken instead.
TEST_F(Win32SecurityTest, CreateNewRefusesWhatIsThereAndFollowsNoLink) {
  const std::string existing = dir_ + "Fotelix.Exe.new";
  files_.push_back(existing);
  {
    auto file = os_.OpenFile(existing, TOpenMode::CreateTruncate);
    file->Write("old", 3);
    file->Close();
  }
  const std::string tree = BuiltLinkTree();
  std::vector<std::string> taken = {existing};
  if (os_.FileExists(tree + "Planted\\Fotelix.Exe.new"))
    taken.insert(taken.end(), {tree + "Planted\\Fotelix.Exe.new", tree + "Planted\\~FXProbe.tmp"});
  for (const std::string& name : taken) EXPECT_EQ(os_.TryCreateNewFile(name), nullptr) << name;
  std::string made;
  CreateNewFile(os_, existing, made)->Close();
  files_.push_back(made);
  EXPECT_EQ(made, existing + ".1");
  auto old = os_.OpenFile(existing, TOpenMode::Read);
  char text[8] = {};
  EXPECT_EQ(old->Read(text, sizeof text), 3u);
  EXPECT_STREQ(text, "old");
  old->Close();
  if (taken.size() == 1) GTEST_SKIP() << "no links planted beside the build";
  auto target = os_.OpenFile(tree + "Apps\\Fotelix.exe", TOpenMode::Read);
  EXPECT_EQ(target->Read(text, sizeof text), 2u);
  target->Close();
  EXPECT_FALSE(os_.FileExists(tree + "Planted\\Victim.txt"));
  // The tree's folder link is one, and so is every path through it.
  EXPECT_TRUE(IsReparsePoint(os_, tree + "Apps\\Loop\\"));
  EXPECT_FALSE(IsReparsePoint(os_, tree + "Apps"));
  EXPECT_EQ(FirstReparsePoint(os_, tree + "Apps\\Loop\\Loop\\Fotelix\\"), tree + "Apps\\Loop\\");
}

// An elevated setup asks the desktop's shell to start the product, and
// starts nothing without it; not elevated, it starts the product itself, as
// the last round does. Either way the product runs, maximised, from a folder with
// blanks in its name. What the shell answers here is printed for the record
// (Wine's desktop answers).
TEST_F(Win32SecurityTest, TheProductStartsMaximisedThroughTheShellOrWithout) {
  const std::string folder = dir_ + "Start Here\\";
  folders_.push_back(folder);
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  const std::string program = folder + "Fotelix.Exe";
  const std::string report = folder + "started.txt";
  files_.insert(files_.end(), {program, report});
  ASSERT_TRUE(CopyFileA((ProgramFolder() + "fx_report_start.exe").c_str(), program.c_str(), TRUE));
  // What the started program wrote, once it has written it (within ten
  // seconds); the report is removed for the next round.
  const auto reported = [&] {
    std::string text;
    for (int wait = 0; wait < 200 && text.empty(); ++wait) {
      Sleep(50);
      try {
        text = ReadWholeFile(os_, report);
      } catch (const EPlatformError&) {  // not there yet, or still being written
      }
    }
    for (int wait = 0; wait < 40 && !DeleteFileA(report.c_str()); ++wait) Sleep(50);
    return text;
  };

  const bool shell = OpenThroughDesktopShell(program, kSwShowMaximized);
  std::printf("[ shell    ] the desktop's shell %s\n", shell ? "started the program" : "did not answer");
  RecordProperty("desktop_shell", shell ? "yes" : "no");
  if (shell) {
    EXPECT_EQ(reported(), "3");
  }

  // Elevated and without a desktop shell, nothing starts: never as administrator.
  os_.StartProgramAsUser(program, kSwShowMaximized);
  EXPECT_EQ(reported(), shell || !IsElevated() ? "3" : "");
  os_.StartProgram("\"" + program + "\"", kSwShowMaximized);
  EXPECT_EQ(reported(), "3");
  try {
    os_.StartProgramAsUser(folder + "Missing.Exe", kSwShowMaximized);
    ADD_FAILURE() << "started a missing program";
  } catch (const EPlatformError& e) {
    EXPECT_EQ(e.Code(), static_cast<uint32_t>(ERROR_FILE_NOT_FOUND)) << e.what();
  }
}

// What the system keeps of a folder's owner and access list tells a folder
// closed to other users from one open to them (under Wine, one whose Unix
// mode lets every user write), also at a level above; protecting it through
// its handle closes it.
TEST_F(Win32SecurityTest, TheTrustRuleTellsAnOpenFolderFromAClosedOne) {
  const std::string open = dir_ + "Open", inner = open + "\\Inner";
  folders_.insert(folders_.end(), {open, inner});
  ASSERT_TRUE(CreateDirectoryA(open.c_str(), nullptr) && CreateDirectoryA(inner.c_str(), nullptr));
  ASSERT_TRUE(CheckFolder(os_, inner).Trusted());
  ASSERT_TRUE(OpenToEveryone(open));
  std::printf("[ open     ] %s\n", DaclOf(open).c_str());

  TFolderCheck check = CheckFolder(os_, open);
  EXPECT_EQ(check.Failed, open + "\\");
  EXPECT_TRUE(check.MayProtect);
  ASSERT_TRUE(check.Folder);
  const TFolderAccess access = check.Folder->Access();
  // Wine's Unix modes have no bits for the rules themselves.
  EXPECT_TRUE(access.OwnerIsTrusted && access.OthersMayAdd && access.OthersMayRemove);
  EXPECT_EQ(CheckFolder(os_, inner).Failed, open + "\\");
  ASSERT_TRUE(check.Folder->TryProtect());
  EXPECT_TRUE(CheckFolder(os_, open).Trusted());
  EXPECT_TRUE(CheckFolder(os_, inner).Trusted());
}

// The setup holds its own file from the start: no one can move it away and
// put another program at its path, and a copy elsewhere is not it.
TEST_F(Win32SecurityTest, TheHeldProgramFileIsThisProgramAndStaysInPlace) {
  TWin32Platform os;
  const std::string self = os.ProgramPath();
  EXPECT_FALSE(os.IsThisProgram(self));  // not held
  os.HoldProgramFile();
  EXPECT_TRUE(os.IsThisProgram(self));
  const std::string copy = dir_ + "Install_Fotelix.exe";
  files_.push_back(copy);
  ASSERT_TRUE(CopyFileA(self.c_str(), copy.c_str(), TRUE));
  EXPECT_FALSE(os.IsThisProgram(copy));
  const std::string moved = dir_ + "moved.exe";
  const BOOL wasMoved = MoveFileA(self.c_str(), moved.c_str());
  if (wasMoved) MoveFileA(moved.c_str(), self.c_str());
  EXPECT_FALSE(wasMoved);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
}

}  // namespace
