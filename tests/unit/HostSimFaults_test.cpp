#include "platform/hostsim/HostSim.h"

#include <gtest/gtest.h>

#include "platform/Find.h"
#include "unit/HostSim_fixture.h"

namespace {

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
  EXPECT_FALSE(os_->TryRemoveFile("C:\\App\\Locked.exe"));
  EXPECT_FALSE(os_->TryRemoveFile("C:\\App\\ReadOnly.txt"));
  EXPECT_FALSE(os_->TryCreateFolder("C:\\Denied\\Sub"));
  TFind denied(*os_, "C:\\Denied\\*.*", faAnyFile);
  TSearchRec rec;
  EXPECT_FALSE(denied.Next(rec));
  os_->LockFile("C:\\App\\Locked.exe", false);
  EXPECT_TRUE(os_->TryRemoveFile("C:\\App\\Locked.exe"));
  EXPECT_EQ(Content("C:\\App\\ReadOnly.txt"), "old");
}

TEST_F(HostSimTest, FoldersAndTheirFaults) {
  EXPECT_TRUE(os_->TryCreateFolder("C:\\One"));
  EXPECT_FALSE(os_->TryCreateFolder("C:\\one"));  // exists already
  EXPECT_FALSE(os_->TryCreateFolder("C:\\Two\\Three"));  // one level only
  os_->FailCreateFolder("C:\\Program Files\\");
  EXPECT_FALSE(os_->TryCreateFolder("C:\\PROGRAM FILES"));
  EXPECT_FALSE(os_->FolderExists("C:\\Program Files"));
  EXPECT_TRUE(os_->FolderExists("C:\\ONE\\"));
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

}  // namespace
