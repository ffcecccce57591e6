#include "pages/PNL_FolderChoice.h"

#include "lib/LIB_FolderName.h"
#include "lib/LIB_Text.h"
#include "pages/PNL_Layout.h"
#include "platform/Path.h"
#include "ui/Dialogs.h"

using namespace PageLayout;

TFolderChoicePage::TFolderChoicePage(TComponent* owner, TPageHost& host, std::string_view picture)
    : TFramePanel(owner, host) {
  // Made in the tab order.
  DirectoryListBox1 = Create<TDirectoryListBox>(host.Platform());
  DirectoryListBox1->Name = "DirectoryListBox1";
  DirectoryListBox1->SetParent(this);
  DirectoryListBox1->SetBounds(286, 31, 393, 273);
  DirectoryListBox1->ItemHeight = 16;
  DirectoryListBox1->OnChange = [this](TObject* sender) { DirectoryListBox1Change(sender); };
  DirectoryListBox1->OnDblClick = [this](TObject* sender) { DirectoryListBox1Change(sender); };

  Edit1 = Place<TEdit>(*this, *this, "Edit1", 286, 7, 393, 21);

  DriveComboBox1 = Create<TDriveComboBox>(host.Platform());
  DriveComboBox1->Name = "DriveComboBox1";
  DriveComboBox1->SetParent(this);
  DriveComboBox1->SetBounds(286, 311, 393, 19);
  DriveComboBox1->SetDirList(DirectoryListBox1);

  StaticText1 = StaticText(*this, *this, "StaticText1", 8, 128, 233, 209, "");

  Image5 = Picture(*this, *this, "Image5", 8, 8, 105, 105, picture);
  Image5->SetStretch(true);

  // No text beside the fields names them: the page's title says which
  // folder they are for.
  Edit1->SetLabelledBy(this);
  DirectoryListBox1->SetLabelledBy(this);
  DriveComboBox1->SetLabelledBy(this);
}

void TFolderChoicePage::SetupButtons(tMvButtonBar& bar) {
  AddExitButton(bar);
  bar.AddRightButton("&Next", 2, 1, [this](TObject* sender) { NextClick(sender); });
  bar.AddRightButton("&Previous", 3, 1, [this](TObject* sender) { PreviousClick(sender); });
}

void TFolderChoicePage::Propose(const std::string& subfolder) {
  std::string proposal = WithBackslash(DirectoryListBox1->Directory());
  if (LowerCase(proposal).find(LowerCase(subfolder)) == std::string::npos) proposal = WithBackslash(proposal + subfolder);
  Edit1->SetText(proposal);
}

std::string TFolderChoicePage::TakeFolderText() {
  const std::string folder = Trim(Edit1->Text());
  Edit1->SetText(folder);
  // Fewer than 4 characters is a drive's root at best, such as "C:\",
  // which the rule itself lets pass.
  if (IsValidFolderName(folder) && folder.size() >= 4 && IsShortEnoughFolder(folder)) return folder;
  if (!IsShortEnoughFolder(folder)) {
    ShowMessage("Invalid folder.\r"
                "The foldername you choose is longer than " + std::to_string(kMaxFolderLength) + " characters.");
    return std::string();
  }
  ShowMessage(
      "Invalid folder.\r"
      "The foldername you choose contains invalid characters or is a root folder.");
  return std::string();
}
