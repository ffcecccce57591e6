#include "install/UninstallRemover.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "install/InstallRun.h"
#include "install/Uninstall.h"
#include "install/UninstallLog.h"
#include "install/UninstallPlan.h"
#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Platform.h"
#include "win32/Win32TestFolders.h"

namespace {

class UninstallRemoverWin32Test : public testing::Test {
 protected:
  void SetUp() override {
    root_ = MakeTestFolder("uninstall");
    ASSERT_FALSE(root_.empty());
    for (const char* folder : {"Programs", "Desktop", "Local", "Program Files"})
      ASSERT_TRUE(CreateDirectoryA((root_ + folder).c_str(), nullptr));
    os_ = std::make_unique<TUserFoldersWin32Platform>(root_);
  }

  void TearDown() override {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
    RemoveTestTree(root_);
  }

  void MakeFile(const std::string& path, const std::string& content) {
    auto file = os_->OpenFile(path, TOpenMode::CreateTruncate);
    file->Write(content.data(), content.size());
    file->Close();
  }

  std::string Content(const std::string& path) {
    auto file = os_->OpenFile(path, TOpenMode::Read);
    std::string text(256, '\0');
    text.resize(file->Read(&text[0], text.size()));
    file->Close();
    return text;
  }

  std::string root_;
  std::unique_ptr<TUserFoldersWin32Platform> os_;
};

// A junction, as the system's own command makes it; false where it cannot
// (Wine).
bool MakeJunction(const std::string& link, const std::string& target) {
  std::string command = "cmd.exe /c mklink /J \"" + link + "\" \"" + target + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                      &startup, &process))
    return false;
  const TKernelHandle thread(process.hThread), started(process.hProcess);
  WaitForSingleObject(started.get(), 30000);
  const DWORD attr = GetFileAttributesA(link.c_str());
  return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_REPARSE_POINT);
}

TEST_F(UninstallRemoverWin32Test, AnInstallGoesWhicheverSpellingOfItsFolderTheLogAndTheStartUse) {
  const std::string longDir = root_ + "Program Files\\Fotelix Long Name\\";
  for (const bool logIsShort : {true, false}) {
    SCOPED_TRACE(logIsShort ? "short names in the log" : "started by the short name");
    ASSERT_TRUE(CreateDirectoryA(longDir.c_str(), nullptr));
    char shortName[MAX_PATH];
    ASSERT_NE(GetShortPathNameA(longDir.c_str(), shortName, MAX_PATH), 0u);
    const std::string shortDir = shortName;
    ASSERT_NE(shortDir, longDir);

    TSetupState state;
    state.InstallDir = logIsShort ? shortDir : longDir;
    state.DownloadDir = "C:\\Images\\";
    state.InstallerEdition = "04";
    state.CreateDesktopShortcut = true;
    TNoProgress none;
    RunInstall(*os_, state, none);
    ASSERT_TRUE(os_->FileExists(root_ + "Desktop\\Fotelix.Lnk"));
    CreateDirectoryA((state.DataDir + "cache").c_str(), nullptr);
    MakeFile(state.DataDir + "cache\\a1.jpg", "cached");

    const std::string started = logIsShort ? longDir : shortDir;
    const TUninstallPlan plan = PlanUninstall(*os_, ReadUninstallLog(*os_, started), started);
    EXPECT_EQ(plan.Refused, std::vector<std::string>());
    EXPECT_EQ(CarryOut(*os_, plan), std::vector<std::string>());
    for (const std::string& gone : {longDir, root_ + "Local\\Fotelix\\", root_ + "Programs\\Fotelix\\"})
      EXPECT_EQ(GetFileAttributesA(gone.c_str()), INVALID_FILE_ATTRIBUTES) << gone;
    EXPECT_FALSE(os_->FileExists(root_ + "Desktop\\Fotelix.Lnk"));
  }
}

// The tree that the build makes where the system cannot make a link itself:
// Removal\Data holds Pictures, a link to the folder Removal\Victim, and
// Notes.txt, a link to Victim\keep.txt.
std::string BuiltRemovalTree() { return BuiltLinkTree() + "Removal\\"; }

TEST_F(UninstallRemoverWin32Test, ATreeGoesThroughHandlesAndItsLinksNeverLeadTheRemovalOut) {
  std::string tree = root_;
  std::vector<std::string> links = {"Pictures"};
  ASSERT_TRUE(CreateDirectoryA((tree + "Victim").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((tree + "Data").c_str(), nullptr));
  MakeFile(tree + "Victim\\keep.txt", "the victim's");
  const bool junction = MakeJunction(tree + "Data\\Pictures", tree + "Victim");
  if (!junction) {
    tree = BuiltRemovalTree();
    links.push_back("Notes.txt");
    if (GetFileAttributesA((tree + "Data\\Pictures").c_str()) == INVALID_FILE_ATTRIBUTES)
      GTEST_SKIP() << "no link can be made here";
  }
  const std::string data = tree + "Data\\";
  MakeFile(data + "Fotelix.Dat", "settings");
  ASSERT_TRUE(CreateDirectoryA((data + "cache").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryA((data + "cache\\thumbs").c_str(), nullptr));
  MakeFile(data + "cache\\a1.jpg", "cached");
  MakeFile(data + "cache\\thumbs\\t1.jpg", "cached");

  TUninstallPlan plan;
  plan.Steps.push_back({TRemovalKind::Tree, data});
  std::vector<std::string> stayed = CarryOut(*os_, plan);
  std::sort(stayed.begin(), stayed.end());
  std::vector<std::string> expected;
  // Windows removes a link itself. Wine opens what a link leads to, so the
  // removal is refused there and the link stays, with what it leads to.
  if (!junction) {
    for (const std::string& link : links) expected.push_back(data + link);
    expected.push_back(data);
  }
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(stayed, expected);
  EXPECT_EQ(Content(tree + "Victim\\keep.txt"), "the victim's");
  for (const char* gone : {"Fotelix.Dat", "cache"})
    EXPECT_EQ(GetFileAttributesA((data + gone).c_str()), INVALID_FILE_ATTRIBUTES) << gone;
}

}  // namespace
