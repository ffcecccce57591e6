#include "platform/win32/Win32Platform.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <winioctl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "install/PayloadSources.h"
#include "install/PayloadWriter.h"
#include "platform/Find.h"
#include "lib/LIB_FindFiles.h"
#include "win32/Win32TestFolders.h"

namespace {

// A fresh folder under the system's temporary folder, removed afterwards
// with everything in it. Links are removed without following them.
class Win32PlatformTest : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = MakeTestFolder(testing::UnitTest::GetInstance()->current_test_info()->name());
    ASSERT_FALSE(dir_.empty());
  }

  void TearDown() override { RemoveTestTree(dir_); }

  void MakeFile(const std::string& path, const std::string& content) {
    auto file = os_.OpenFile(path, TOpenMode::CreateTruncate);
    file->Write(content.data(), content.size());
    file->Close();
  }

  std::string Content(const std::string& path) {
    auto file = os_.OpenFile(path, TOpenMode::Read);
    std::string text;
    char buffer[65536];
    for (size_t n; (n = file->Read(buffer, sizeof buffer)) > 0;) text.append(buffer, n);
    file->Close();
    return text;
  }

  std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    TFind find(os_, folder + "*.*", faAnyFile);
    for (TSearchRec rec; find.Next(rec);)
      if (rec.Name != "." && rec.Name != "..") names.push_back(rec.Name);
    return names;
  }

  TWin32Platform os_;
  std::string dir_;
};

// A junction (mount point) from link to target, as "mklink /J" makes it.
bool MakeJunction(const std::string& link, const std::string& target) {
  if (!CreateDirectoryA(link.c_str(), nullptr)) return false;
  HANDLE handle = CreateFileA(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  std::wstring substitute = L"\\??\\";
  std::wstring print;
  for (char c : target) print += static_cast<wchar_t>(static_cast<unsigned char>(c));
  substitute += print;
  const WORD subBytes = static_cast<WORD>(substitute.size() * sizeof(wchar_t));
  const WORD printBytes = static_cast<WORD>(print.size() * sizeof(wchar_t));
  std::vector<char> buffer(8 + 8 + subBytes + 2 + printBytes + 2, 0);
  const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
  const WORD dataLength = static_cast<WORD>(buffer.size() - 8);
  const WORD offsets[4] = {0, subBytes, static_cast<WORD>(subBytes + 2), printBytes};
  memcpy(&buffer[0], &tag, 4);
  memcpy(&buffer[4], &dataLength, 2);
  memcpy(&buffer[8], offsets, 8);
  memcpy(&buffer[16], substitute.data(), subBytes);
  memcpy(&buffer[16 + subBytes + 2], print.data(), printBytes);
  DWORD returned = 0;
  const BOOL ok = DeviceIoControl(handle, FSCTL_SET_REPARSE_POINT, buffer.data(),
                                  static_cast<DWORD>(buffer.size()), nullptr, 0, &returned, nullptr);
  CloseHandle(handle);
  return ok != 0;
}

TEST_F(Win32PlatformTest, FilesAndTheirErrors) {
  MakeFile(dir_ + "a.txt", "hello");
  EXPECT_TRUE(os_.FileExists(dir_ + "A.TXT"));
  EXPECT_FALSE(os_.FolderExists(dir_ + "a.txt"));
  EXPECT_EQ(Content(dir_ + "a.txt"), "hello");
  MakeFile(dir_ + "a.txt", "x");  // truncated
  EXPECT_EQ(Content(dir_ + "a.txt"), "x");

  struct Case {
    std::string path;
    TOpenMode mode;
    uint32_t code;
  };
  const Case cases[] = {
      {dir_ + "missing.txt", TOpenMode::Read, kErrorFileNotFound},
      {dir_ + "missing.txt", TOpenMode::WriteExisting, kErrorFileNotFound},
      {dir_ + "No\\new.txt", TOpenMode::CreateTruncate, kErrorPathNotFound},
  };
  for (const Case& c : cases) {
    try {
      os_.OpenFile(c.path, c.mode);
      ADD_FAILURE() << c.path;
    } catch (const EPlatformError& e) {
      EXPECT_EQ(e.Code(), c.code) << e.what();
    }
  }
  EXPECT_TRUE(os_.TryCreateFolder(dir_ + "Sub"));
  EXPECT_FALSE(os_.TryCreateFolder(dir_ + "Sub"));
  EXPECT_FALSE(os_.TryCreateFolder(dir_ + "X\\Y"));
  EXPECT_TRUE(os_.FolderExists(dir_ + "sub\\"));
  EXPECT_TRUE(os_.TryRemoveFile(dir_ + "a.txt"));
  EXPECT_FALSE(os_.TryRemoveFile(dir_ + "a.txt"));

  // A short name comes back as the long one, and what does not exist yet
  // stays as given.
  ASSERT_TRUE(os_.TryCreateFolder(dir_ + "Long Folder Name"));
  char shortName[MAX_PATH];
  ASSERT_NE(GetShortPathNameA((dir_ + "Long Folder Name").c_str(), shortName, MAX_PATH), 0u);
  const std::string longDir = os_.LongPathName(dir_);
  EXPECT_EQ(os_.LongPathName(std::string(shortName) + "\\new\\"), longDir + "Long Folder Name\\new\\");
  EXPECT_EQ(os_.LongPathName(dir_ + "Long Folder Name\\..\\Long Folder Name"), longDir + "Long Folder Name");
}

TEST_F(Win32PlatformTest, PayloadRestoredByteForByteTwice) {
  std::string built = std::string("Z:") + kProgramSourceFile;
  for (char& c : built)
    if (c == '/') c = '\\';
  const std::string expected = Content(built);
  ASSERT_EQ(expected.substr(0, 2), "MZ");
  TNoProgress none;
  for (int round = 0; round < 2; ++round) {
    WriteProgramFile(os_, dir_ + "Fotelix.Exe", none);
    EXPECT_TRUE(Content(dir_ + "Fotelix.Exe") == expected) << "round " << round;
  }
  EXPECT_EQ(Names(dir_), std::vector<std::string>{"Fotelix.Exe"});
}

TEST_F(Win32PlatformTest, LockedTargetKeepsTheOldFile) {
  MakeFile(dir_ + "Fotelix.Exe", "MZ old");
  // Open without sharing, as a running program holds its file.
  HANDLE held = CreateFileA((dir_ + "Fotelix.Exe").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  try {
    TNoProgress none;
    WriteProgramFile(os_, dir_ + "Fotelix.Exe", none);
    ADD_FAILURE() << "no error";
  } catch (const EPlatformError& e) {
    EXPECT_EQ(e.Code(), kErrorSharingViolation) << e.what();
  }
  MakeFile(dir_ + "other.new", "x");
  EXPECT_THROW(os_.MoveReplace(dir_ + "other.new", dir_ + "Fotelix.Exe"), EPlatformError);
  CloseHandle(held);
  EXPECT_EQ(Content(dir_ + "Fotelix.Exe"), "MZ old");
  EXPECT_EQ(Names(dir_), (std::vector<std::string>{"Fotelix.Exe", "other.new"}));
}

TEST_F(Win32PlatformTest, FindFilesOnARealTree) {
  // A hidden copy in a hidden folder (not entered), a hidden copy in a plain
  // folder (found), and a junction from inside Apps back to Apps.
  const std::string apps = dir_ + "Apps\\";
  ASSERT_TRUE(os_.TryCreateFolder(apps));
  ASSERT_TRUE(os_.TryCreateFolder(apps + "Hidden"));
  ASSERT_TRUE(os_.TryCreateFolder(apps + "Plain"));
  MakeFile(apps + "Fotelix.exe", "MZ");
  MakeFile(apps + "Hidden\\Fotelix.exe", "MZ");
  MakeFile(apps + "Plain\\FOTELIX.EXE", "MZ");
  ASSERT_TRUE(SetFileAttributesA((apps + "Hidden").c_str(), FILE_ATTRIBUTE_HIDDEN));
  ASSERT_TRUE(SetFileAttributesA((apps + "Plain\\FOTELIX.EXE").c_str(), FILE_ATTRIBUTE_HIDDEN));
  std::vector<std::string> expected = {apps + "Fotelix.exe", apps + "Plain\\FOTELIX.EXE"};
  std::string roots = dir_;
  std::string loop = apps + "Loop";
  if (!MakeJunction(loop, apps.substr(0, apps.size() - 1))) {
    const std::string tree = BuiltLinkTree();
    if (!os_.FolderExists(tree + "Apps\\Loop")) GTEST_SKIP() << "no junction can be made here";
    roots += ";" + tree;
    loop = tree + "Apps\\Loop";
    expected.push_back(tree + "Apps\\Fotelix.exe");
  }
  TFind find(os_, loop, faAnyFile);
  TSearchRec rec;
  ASSERT_TRUE(find.Next(rec));
  ASSERT_EQ(rec.Attr & (faDirectory | faReparsePoint), faDirectory | faReparsePoint);
  ASSERT_TRUE(os_.FileExists(loop + "\\Loop\\Loop\\Fotelix.exe"));  // a real loop

  std::vector<int> percents;
  const auto found = FindFiles(os_, "Fotelix.exe", 4, roots, 0, nullptr, [&](uint8_t p) {
    percents.push_back(p);
    return false;
  });
  std::sort(expected.begin(), expected.end(), [](const std::string& a, const std::string& b) {
    return lstrcmpiA(a.c_str(), b.c_str()) < 0;
  });
  EXPECT_EQ(found, expected);
  EXPECT_EQ(percents.back(), 100);
}

TEST_F(Win32PlatformTest, ShellLinkRegistryAndSystemQueries) {
  const std::string target = dir_ + "Fotelix.Exe";
  MakeFile(target, "MZ");
  TShellLink link{target, "Fotelix", "", target, 0};
  os_.CreateShellLink(link, dir_ + "Fotelix.Lnk");
  const TShellLink back = os_.ReadShellLink(dir_ + "Fotelix.Lnk");
  EXPECT_EQ(back.Description, "Fotelix");
  EXPECT_EQ(back.IconIndex, 0);
  EXPECT_NE(back.Target.find("Fotelix.Exe"), std::string::npos) << back.Target;
  EXPECT_THROW(os_.CreateShellLink(link, dir_ + "No\\Fotelix.Lnk"), EPlatformError);

  const std::string key = "Software\\FotelixTest\\" + std::to_string(GetTickCount());
  os_.WriteRegistryString(key, "UninstallString", "\"" + dir_ + "Uninstall.Exe\"");
  EXPECT_EQ(os_.ReadRegistryString(key, "uninstallstring"), "\"" + dir_ + "Uninstall.Exe\"");
  EXPECT_FALSE(os_.ReadRegistryString(key, "Missing"));
  os_.WriteRegistryNumber(key, "NoModify", 0x12345678);
  EXPECT_FALSE(os_.ReadRegistryString(key, "NoModify"));  // not a string
  HKEY opened = nullptr;
  DWORD type = 0, number = 0, size = sizeof number;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &opened), ERROR_SUCCESS);
  EXPECT_EQ(RegQueryValueExA(opened, "NoModify", nullptr, &type, reinterpret_cast<BYTE*>(&number), &size),
            ERROR_SUCCESS);
  RegCloseKey(opened);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(number, 0x12345678u);
  // A key goes with its values, never with sub-keys.
  EXPECT_FALSE(os_.TryDeleteRegistryKey("Software\\FotelixTest"));
  EXPECT_TRUE(os_.TryDeleteRegistryKey(key));
  EXPECT_FALSE(os_.ReadRegistryString(key, "UninstallString"));
  EXPECT_TRUE(os_.TryDeleteRegistryKey(key));
  os_.TryDeleteRegistryKey("Software\\FotelixTest");  // only when no other run left one

  EXPECT_EQ(os_.DriveType("C:\\"), TDriveType::Fixed);
  EXPECT_EQ(os_.DriveType("1:\\"), TDriveType::NoRootDir);
  EXPECT_EQ(os_.GetShellFolder(kCsidlProgramFiles).Known(), "C:\\Program Files");
  EXPECT_EQ(os_.CurrentFolder().substr(1, 2), ":\\");
  const TLocalTime t = os_.LocalTime();
  EXPECT_GE(t.Year, 2020);
  EXPECT_THROW(os_.StartProgram("\"" + dir_ + "missing.exe\"", kSwShowMaximized), EPlatformError);

  // Nothing opens a file that no program is associated with. An elevated
  // process asks the desktop's shell instead (Wine's answers), which tells
  // the user itself.
  MakeFile(dir_ + "notes.fxq", "x");
  EXPECT_EQ(os_.TryShellOpen(dir_ + "notes.fxq"), os_.IsElevated());
}

}  // namespace
