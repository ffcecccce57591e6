#include "platform/hostsim/HostSim.h"

#include <gtest/gtest.h>

#include "unit/HostSim_fixture.h"

namespace {

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

}  // namespace
