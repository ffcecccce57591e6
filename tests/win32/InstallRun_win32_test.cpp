#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "install/InstallRun.h"
#include "install/PayloadSources.h"
#include "install/SettingsFileReader.h"
#include "install/Uninstall.h"
#include "install/UpgradeRun.h"
#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Platform.h"
#include "unit/RunFakes.h"
#include "win32/Win32TestFolders.h"

namespace {

// The real Windows layer, except that the per-user shell folders point into
// the test's own folder, the waits between attempts take no time and the
// product is not really started.
class TTestWin32Platform : public TUserFoldersWin32Platform {
 public:
  using TUserFoldersWin32Platform::TUserFoldersWin32Platform;
  void Sleep(uint32_t milliseconds) override { slept += milliseconds; }
  void StartProgramAsUser(const std::string& program, int showCommand) override {
    started.push_back(program + " " + std::to_string(showCommand));
  }
  uint64_t slept = 0;
  std::vector<std::string> started;
};

class InstallRunWin32Test : public testing::Test {
 protected:
  void SetUp() override {
    root_ = MakeTestFolder("run");
    ASSERT_FALSE(root_.empty());
    for (const char* folder : {"Programs", "Desktop", "Local"})
      ASSERT_TRUE(CreateDirectoryA((root_ + folder).c_str(), nullptr));
    os_ = std::make_unique<TTestWin32Platform>(root_);
  }

  void TearDown() override {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
    RemoveTestTree(root_);
  }

  std::string Content(const std::string& path) {
    auto file = os_->OpenFile(path, TOpenMode::Read);
    std::string text;
    char buffer[65536];
    for (size_t n; (n = file->Read(buffer, sizeof buffer)) > 0;) text.append(buffer, n);
    file->Close();
    return text;
  }

  std::string RegistryValue(const char* name) {
    TRegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, key.Out()) != ERROR_SUCCESS)
      return "<no key>";
    char buffer[MAX_PATH * 2] = {};
    DWORD size = sizeof buffer - 1;
    DWORD type = 0;
    if (RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ)
      return "<no value>";
    return buffer;
  }

  std::string root_;
  std::unique_ptr<TTestWin32Platform> os_;
  TFakeProgress progress_;
};

TEST_F(InstallRunWin32Test, InstallWritesRealLinksAndTheRegistryEntry) {
  TSetupState state;
  state.InstallDir = root_ + "Program Files\\Fotelix";
  state.DownloadDir = "C:\\Images\\";
  state.InstallerEdition = "04";
  state.CreateDesktopShortcut = true;
  RunInstall(*os_, state, progress_);

  const std::string dir = root_ + "Program Files\\Fotelix\\";
  EXPECT_EQ(state.InstallDir, dir);
  EXPECT_EQ(state.DataDir, root_ + "Local\\Fotelix\\");
  EXPECT_TRUE(Content(dir + "Fotelix.Exe") == BuiltProgram(kProgramSourceFile));
  EXPECT_TRUE(Content(dir + "Uninstall.Exe") == BuiltProgram(kUninstallerSourceFile));

  struct Link {
    std::string file, target, description;
    int icon;
  };
  const Link links[] = {
      {root_ + "Programs\\Fotelix\\Fotelix.Lnk", dir + "Fotelix.Exe", "Fotelix", 0},
      {root_ + "Programs\\Fotelix\\Fotelix Website.Lnk", ProductPageAddress(), "Fotelix On the web", -1},
      {root_ + "Programs\\Fotelix\\Fotelix Manual.Lnk", ManualAddress(), "Fotelix Manual", -1},
      {root_ + "Programs\\Fotelix\\Uninstall Fotelix.Lnk", dir + "Uninstall.Exe", "Uninstall Fotelix", 0},
      {root_ + "Desktop\\Fotelix.Lnk", dir + "Fotelix.Exe", "Fotelix", 0},
  };
  for (const Link& l : links) {
    const TShellLink back = os_->ReadShellLink(l.file);  // through IShellLinkA
    EXPECT_EQ(back.Description, l.description) << l.file;
    EXPECT_EQ(back.IconIndex, l.icon) << l.file;
    // Wine's link object takes a web address for a file name relative to
    // the current folder; the web links' targets are checked on hostsim.
    if (l.icon >= 0) {
      EXPECT_TRUE(lstrcmpiA(back.Target.c_str(), l.target.c_str()) == 0) << back.Target;
      EXPECT_TRUE(lstrcmpiA(back.IconPath.c_str(), l.target.c_str()) == 0) << back.IconPath;
    }
  }

  EXPECT_EQ(RegistryValue("DisplayName"), "Fotelix");
  EXPECT_EQ(RegistryValue("UninstallString"), "\"" + dir + "Uninstall.Exe\"");

  const auto data = ReadSettingsFile(Content(state.DataDir + "Fotelix.Dat"), TSettingsForm::Install);
  const auto copy = ReadSettingsFile(Content(dir + "FXInst.Dat"), TSettingsForm::Install);
  EXPECT_EQ(data.size(), copy.size());
  EXPECT_EQ(Content(dir + "UnInstall.dat"), InstallLog(dir, root_ + "Local\\Fotelix\\"));
  EXPECT_EQ(progress_.positions.back(), PositionAtPercent(progress_.Range(), 99));
}

TEST_F(InstallRunWin32Test, UpgradeRetriesWhileTheProgramIsOpen) {
  const std::string dir = root_ + "Fotelix\\";
  ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
  {
    auto file = os_->OpenFile(dir + "Fotelix.Exe", TOpenMode::CreateTruncate);
    file->Write("MZ", 2);
    file->Close();
  }
  // Held as a running program holds its file: others may read it, as the
  // update does to know it for the product, and not write it.
  TKernelHandle running(CreateFileA((dir + "Fotelix.Exe").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(running);

  TSetupState state;
  state.InstallDir = dir;
  state.AutoUpdate = true;
  progress_.OnStatus = [&](const std::string& text) {
    if (text == UpgradeRetryMessage(2)) running.Close();
  };
  RunUpgrade(*os_, state, progress_);
  EXPECT_EQ(progress_.statuses, (std::vector<std::string>{UpgradeRetryMessage(1), "", UpgradeRetryMessage(2), ""}));
  EXPECT_EQ(os_->slept, 3000u + 2 * 15000);
  EXPECT_TRUE(Content(dir + "Fotelix.Exe") == BuiltProgram(kProgramSourceFile));
  EXPECT_TRUE(Content(dir + "Uninstall.Exe") == BuiltProgram(kUninstallerSourceFile));
  EXPECT_NO_THROW(ReadSettingsFile(Content(dir + "Fotelix.BAK"), TSettingsForm::Upgrade));
  EXPECT_EQ(progress_.positions.back(), progress_.Range());
  EXPECT_EQ(os_->started, std::vector<std::string>{dir + "Fotelix.Exe 3"});
}

// On the real layer, an elevated install refuses a folder that other users
// may change, and a level above it that they may change; an update of a
// copy there, whose folder this user owns, closes it to them first.
TEST_F(InstallRunWin32Test, AnOpenFolderIsRefusedForAnInstallAndClosedForAnUpdate) {
  if (!os_->IsElevated()) GTEST_SKIP() << "not elevated";
  const std::string open = root_ + "Open\\";
  ASSERT_TRUE(CreateDirectoryA(open.c_str(), nullptr) && OpenToEveryone(open));
  const std::string others = "\": users other than administrators can change ";
  for (const auto& [dir, error] : std::vector<std::pair<std::string, std::string>>{
           {open, "Cannot install Fotelix in \"" + open + others + "that folder."},
           {open + "Fotelix\\", "Cannot install Fotelix in \"" + open + "Fotelix\\" + others + "\"" + open + "\"."}}) {
    TSetupState state;
    state.InstallDir = dir;
    try {
      RunInstall(*os_, state, progress_);
      ADD_FAILURE() << "installed in " << dir;
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(std::string(e.what()), error);
    }
  }
  EXPECT_FALSE(os_->FileExists(open + "Fotelix.Exe"));

  {
    auto file = os_->OpenFile(open + "Fotelix.Exe", TOpenMode::CreateTruncate);
    file->Write("MZ", 2);
    file->Close();
  }
  TSetupState state;
  state.InstallDir = open;
  state.AutoUpdate = true;
  progress_.statuses.clear();
  RunUpgrade(*os_, state, progress_);
  EXPECT_EQ(progress_.statuses, std::vector<std::string>{"\"" + open +
                                               "\" could be changed by users other than administrators; it now has "
                                               "the protection of Program Files."});
  EXPECT_TRUE(Content(open + "Fotelix.Exe") == BuiltProgram(kProgramSourceFile));
  EXPECT_TRUE(CheckFolder(*os_, open).Trusted());
}

}  // namespace
