#include "platform/hostsim/HostSim.h"

#include <gtest/gtest.h>

#include "unit/HostSim_fixture.h"

namespace {

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

}  // namespace
