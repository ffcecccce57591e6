#include "platform/hostsim/HostSim.h"

#include <gtest/gtest.h>

#include "unit/HostSim_fixture.h"

namespace {

TEST_F(HostSimTest, RegistryIsAReadableFile) {
  const std::string key = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Fotelix";
  os_->WriteRegistryString(key, "DisplayName", "Fotelix");
  os_->WriteRegistryString(key, "UninstallString", "\"C:\\Program Files\\Uninstall.Exe\"");
  os_->WriteRegistryString(key, "displayname", "Fotelix 2");
  EXPECT_EQ(os_->ReadRegistryString("SOFTWARE\\microsoft\\windows\\currentversion\\uninstall\\fotelix",
                                    "DISPLAYNAME"),
            "Fotelix 2");
  EXPECT_EQ(os_->ReadRegistryString(key, "Missing"), std::nullopt);
  std::ifstream file(os_->RegistryFile(), std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  EXPECT_EQ(text.str(), "HKEY_LOCAL_MACHINE\\" + key + "\tdisplayname\tFotelix 2\n" +
                            "HKEY_LOCAL_MACHINE\\" + key +
                            "\tUninstallString\t\"C:\\Program Files\\Uninstall.Exe\"\n");
  // A key goes with its values, never with sub-keys.
  EXPECT_FALSE(os_->TryDeleteRegistryKey("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"));
  EXPECT_TRUE(os_->TryDeleteRegistryKey("software\\microsoft\\windows\\currentversion\\uninstall\\FOTELIX"));
  EXPECT_EQ(os_->ReadRegistryString(key, "UninstallString"), std::nullopt);
  EXPECT_TRUE(os_->TryDeleteRegistryKey(key));
  os_->FailRegistry(true);
  EXPECT_THROW(os_->WriteRegistryString(key, "DisplayName", "x"), EPlatformError);
}

}  // namespace
