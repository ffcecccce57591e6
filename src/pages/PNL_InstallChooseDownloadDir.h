#pragma once
// The page "Choose download folder": in the wizard's order and reachable by name; its
// controls and handlers come with the work that needs them.

#include "pages/Frame_Panel.h"

class TPNLInstallChooseDownloadDir : public TFramePanel {
 public:
  TPNLInstallChooseDownloadDir(TComponent* owner, TPageHost& host) : TFramePanel(owner, host) {
    Name = "PNLInstallChooseDownloadDir";
    HeaderText = "Choose download folder";
  }
  std::string ClassName() const override { return "TPNLInstallChooseDownloadDir"; }
};
