#pragma once
// A simulated Windows with a user's own files, which no uninstall may
// touch, and the shell folders of an install, for the tests of the
// uninstaller's planner and remover.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "install/InstallRun.h"
#include "install/UninstallLog.h"
#include "install/UninstallPlan.h"
#include "unit/HostSim_fixture.h"

const std::string kLocalAppData = "C:\\Users\\Ann\\Local Settings";
const std::string kPrograms = "C:\\Users\\Ann\\Start Menu\\Programs";
const std::string kDesktop = "C:\\Users\\Ann\\Desktop";
const std::string kInstallDir = "C:\\Program Files\\Fotelix\\";

class UninstallerTest : public HostSimTest {
 public:
  void SetUp() override {
    HostSimTest::SetUp();
    for (const auto& [csidl, folder] :
         {std::pair{kCsidlProgramFiles, std::string("C:\\Program Files")},
          std::pair{kCsidlLocalAppData, kLocalAppData}, std::pair{kCsidlPrograms, kPrograms},
          std::pair{kCsidlDesktopDirectory, kDesktop}}) {
      MakeFolder(folder);
      os_->SetShellFolder(csidl, folder, 0);
    }
    // What the user has, which no uninstall may touch.
    MakeFile("C:\\Users\\Ann\\Documents\\thesis.doc", "years of work");
    MakeFile(kDesktop + "\\notes.txt", "notes");
    MakeFile(kPrograms + "\\Accessories\\Paint.Lnk", "link");
    MakeFile("C:\\Users\\Ann\\Pictures\\Holiday\\beach.jpg", "jpeg");
    os_->WriteRegistryString("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other",
                             "DisplayName", "Other");
    state_.InstallDir = kInstallDir;
    state_.DownloadDir = "C:\\Images\\";
    state_.InstallerEdition = "04";
    state_.CreateDesktopShortcut = true;
  }

  // Every path on C: (folders end with "/") with its content, and the registry.
  std::set<std::string> Snapshot() {
    namespace fs = std::filesystem;
    std::set<std::string> items;
    const fs::path drive = os_->HostPath("C:\\");
    for (auto it = fs::recursive_directory_iterator(drive); it != fs::recursive_directory_iterator(); ++it) {
      const std::string name = fs::relative(it->path(), drive).generic_string();
      if (it->is_directory() && !it->is_symlink()) {
        items.insert(name + "/");
      } else {
        std::ifstream in(it->path(), std::ios::binary);
        std::ostringstream content;
        content << in.rdbuf();
        items.insert(name + "=" + content.str());
      }
    }
    items.insert("registry=" + Registry());
    return items;
  }

  std::string Registry() {
    std::ifstream in(os_->RegistryFile(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }

  TUninstallPlan Plan(const std::string& installDir) {
    return PlanUninstall(*os_, ReadUninstallLog(*os_, installDir), installDir);
  }

  // An install as the install run makes it, with its progress unseen.
  void Install() {
    TNoProgress none;
    RunInstall(*os_, state_, none);
  }

  TSetupState state_;
};
