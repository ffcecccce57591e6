#include "pages/PNL_InstallChooseDownloadDir.h"

#include "install/InstallRun.h"
#include "pages/PageNames.h"
#include "platform/Path.h"
#include "resources/Resources.h"

TPNLInstallChooseDownloadDir::TPNLInstallChooseDownloadDir(TComponent* owner, TPageHost& host)
    : TFolderChoicePage(owner, host, ResourceName::DownloadFolder) {
  Name = PageName::PNLInstallChooseDownloadDir;
  HeaderText = "Choose download folder";
}

void TPNLInstallChooseDownloadDir::EnterPage() {
  const std::string& downloadDir = State().DownloadDir;
  const std::string& installDir = State().InstallDir;
  // A stored folder is taken to end in "Images\": the list starts above it.
  // Shorter ones give the empty path, which leaves the list where it is.
  std::string start = "C:\\";
  if (!downloadDir.empty())
    start = downloadDir.size() > 7 ? downloadDir.substr(0, downloadDir.size() - 7) : std::string();
  else if (!installDir.empty())
    start = installDir.substr(0, 3);
  // Where C:\ fails as well, the list keeps its folder.
  if (!DirectoryListBox1->TrySetDirectory(start)) DirectoryListBox1->TrySetDirectory("C:\\");
  StaticText1->SetCaption(
      "The download  folder is the folder\r"
      "on your harddisk where Fotelix puts the\r"
      "images you download.\r"
      "\r"
      "If you already have a folder with images\r"
      "you might choose that one, otherwise\r"
      "perhaps another place you find easy or just\r"
      "press \"next\" button to use the folder we\r"
      "propose as default, " +
      WithBackslash(DirectoryListBox1->Directory()) + "Images");
  DirectoryListBox1Change(this);
  // A return shows the folder accepted before, whatever the list shows.
  if (!downloadDir.empty()) Edit1->SetText(downloadDir);
}

void TPNLInstallChooseDownloadDir::DirectoryListBox1Change(TObject*) { Propose("Images"); }

void TPNLInstallChooseDownloadDir::NextClick(TObject*) {
  const std::string folder = TakeFolderText();
  if (folder.empty()) return;
  // Stored as accepted: a folder typed without a trailing backslash reaches
  // the settings file without one.
  State().DownloadDir = folder;
  Host().ShowPage(PageName::PNLInstallChooseConnection, true);
}

void TPNLInstallChooseDownloadDir::PreviousClick(TObject*) {
  Host().ShowPage(PageName::PnlInstallChooseDir, true);
  State().DownloadDir.clear();
}
