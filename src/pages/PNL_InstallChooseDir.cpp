#include "pages/PNL_InstallChooseDir.h"

#include <optional>

#include "install/InstallRun.h"
#include "lib/LIB_Text.h"
#include "pages/PageNames.h"
#include "platform/Path.h"
#include "platform/Platform.h"
#include "resources/Resources.h"

namespace {

// Typed into the field, it shows the edition; support asks for it.
const char kEditionCode[] = "%!!+47-15QQw";

}  // namespace

TPnlInstallChooseDir::TPnlInstallChooseDir(TComponent* owner, TPageHost& host)
    : TFolderChoicePage(owner, host, ResourceName::InstallFolder) {
  Name = PageName::PnlInstallChooseDir;
  Edit1->OnExit = [this](TObject* sender) { Edit1Exit(sender); };
  HeaderText = "Choose installation folder";
}

void TPnlInstallChooseDir::EnterPage() {
  StaticText1->SetCaption(
      "The installation folder is the folder\r"
      "on your hard disk where Fotelix program files\r"
      "and the Fotelix data file will be placed.\r"
      "\r"
      "In most common cases the folder proposed\r"
      "is the best place and you can just press\r"
      "the \"next\" button, otherwise choose a folder.");
  // A folder that is missing or on a drive that cannot be read leaves the
  // field and the list as they were: on a return the field still holds the
  // folder accepted before.
  if (!State().InstallDir.empty()) {
    if (DirectoryListBox1->TrySetDirectory(State().InstallDir)) Edit1->SetText(State().InstallDir);
    return;
  }
  if (const std::optional<std::string> programFiles = Host().Platform().GetShellFolder(kCsidlProgramFiles).Known()) {
    if (!DirectoryListBox1->TrySetDirectory(*programFiles)) return;
  } else {
    // Where that fails too, the proposal is made from where the list is.
    DirectoryListBox1->TrySetDirectory("C:\\Fotelix");
  }
  DirectoryListBox1Change(this);
}

void TPnlInstallChooseDir::DirectoryListBox1Change(TObject*) { Propose("Fotelix"); }

void TPnlInstallChooseDir::Edit1Exit(TObject*) {
  if (Trim(Edit1->Text()) == kEditionCode) Edit1->SetText(State().InstallerEdition);
}

void TPnlInstallChooseDir::NextClick(TObject*) {
  const std::string folder = TakeFolderText();
  if (folder.empty()) return;
  State().InstallDir = WithBackslash(folder);
  Host().ShowPage(PageName::PNLInstallChooseDownloadDir, true);
}

void TPnlInstallChooseDir::PreviousClick(TObject*) {
  // The next visit proposes the default folder again.
  State().InstallDir.clear();
  Host().ShowPage(PageName::PnlInstall, true);
}
