#pragma once
// What the installation folder and the download folder pages have in common:
// the same controls in the same places, a proposal made from the folder
// picked in the list, and the check of the folder text before it is taken.

#include <string>
#include <string_view>

#include "pages/Frame_Panel.h"
#include "ui/ExtCtrls.h"
#include "ui/FileCtrl.h"
#include "ui/StdCtrls.h"

class TFolderChoicePage : public TFramePanel {
 public:
  // "&Exit" at the left; "&Next" at the right edge, "&Previous" left of it.
  void SetupButtons(tMvButtonBar& bar) override;

  TDirectoryListBox* DirectoryListBox1 = nullptr;
  TEdit* Edit1 = nullptr;
  TDriveComboBox* DriveComboBox1 = nullptr;
  TStaticText* StaticText1 = nullptr;
  TImage* Image5 = nullptr;

  // Runs when the list's folder changes and on a double-click in it.
  virtual void DirectoryListBox1Change(TObject* sender) = 0;
  virtual void NextClick(TObject* sender) = 0;
  virtual void PreviousClick(TObject* sender) = 0;

 protected:
  TFolderChoicePage(TComponent* owner, TPageHost& host, std::string_view picture);

  // Puts the list's folder into the field with a trailing backslash, and
  // subfolder + "\" below it unless the path names subfolder already, in
  // any letter case.
  void Propose(const std::string& subfolder);
  // The field's text, trimmed and put back; empty, after telling the user,
  // when the folder-name rule refuses it or it names a drive's root.
  std::string TakeFolderText();
};
