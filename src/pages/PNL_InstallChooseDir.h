#pragma once
// The installation folder: proposed under Program Files, picked in the list
// or typed, and checked before it is taken into InstallDir.

#include "pages/PNL_FolderChoice.h"

class TPnlInstallChooseDir : public TFolderChoicePage {
 public:
  TPnlInstallChooseDir(TComponent* owner, TPageHost& host);
  std::string ClassName() const override { return "TPnlInstallChooseDir"; }

  void EnterPage() override;

  void DirectoryListBox1Change(TObject* sender) override;
  // Shows the setup program's edition in place of the access code.
  void Edit1Exit(TObject* sender);
  void NextClick(TObject* sender) override;
  void PreviousClick(TObject* sender) override;
};
