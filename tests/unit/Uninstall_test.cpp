#include "install/Uninstall.h"

#include <gtest/gtest.h>

#include <string>

#include "unit/HostSim_fixture.h"
#include "unit/RunFakes.h"

namespace {

class UninstallTest : public HostSimTest {
 protected:
  void SetUp() override {
    HostSimTest::SetUp();
    state_.InstallDir = "C:\\Program Files\\Fotelix\\";
    state_.DataDir = "C:\\Users\\Ann\\Local Settings\\Fotelix\\";
    MakeFolder(state_.InstallDir);
  }
  TSetupState state_;
};

TEST_F(UninstallTest, LogReplacesAnOlderOneAndStopsWhenTheDiskFills) {
  MakeFile("C:\\Program Files\\Fotelix\\UNINSTALL.DAT", std::string(4000, 'x'));
  WriteUninstallLog(*os_, state_);
  const std::string full = InstallLog(state_.InstallDir, state_.DataDir, false);
  EXPECT_EQ(Content("C:\\Program Files\\Fotelix\\UnInstall.dat"), full);

  // Lines after the one that did not fit are missing; those before stay.
  os_->SetDiskSpace('C', 100);
  EXPECT_THROW(WriteUninstallLog(*os_, state_), EPlatformError);
  const std::string cut = Content("C:\\Program Files\\Fotelix\\UnInstall.dat");
  EXPECT_LT(cut.size(), full.size());
  EXPECT_EQ(full.compare(0, cut.size(), cut), 0);

  os_->DenyAccess("C:\\Program Files\\Fotelix\\UnInstall.dat");
  EXPECT_THROW(WriteUninstallLog(*os_, state_), EPlatformError);
}

TEST_F(UninstallTest, RefusedRegistryIsRaised) {
  os_->FailRegistry(true);
  EXPECT_THROW(RegisterUninstaller(*os_, state_), EPlatformError);
  EXPECT_FALSE(os_->ReadRegistryString(kUninstallKey, "UninstallString"));
}

}  // namespace
