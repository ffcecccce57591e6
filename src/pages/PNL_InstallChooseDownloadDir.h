#pragma once
// The folder for the pictures the product downloads: proposed as Images at
// the root of the installation drive, stored in DownloadDir as accepted.

#include "pages/PNL_FolderChoice.h"

class TPNLInstallChooseDownloadDir : public TFolderChoicePage {
 public:
  TPNLInstallChooseDownloadDir(TComponent* owner, TPageHost& host);
  std::string ClassName() const override { return "TPNLInstallChooseDownloadDir"; }

  void EnterPage() override;

  void DirectoryListBox1Change(TObject* sender) override;
  void NextClick(TObject* sender) override;
  void PreviousClick(TObject* sender) override;
};
