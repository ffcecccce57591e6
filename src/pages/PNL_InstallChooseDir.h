#pragma once
// The page "Choose installation folder": in the wizard's order and reachable by name; its
// controls and handlers come with the work that needs them.

#include "pages/Frame_Panel.h"

class TPnlInstallChooseDir : public TFramePanel {
 public:
  TPnlInstallChooseDir(TComponent* owner, TPageHost& host) : TFramePanel(owner, host) {
    Name = "PnlInstallChooseDir";
    HeaderText = "Choose installation folder";
  }
  std::string ClassName() const override { return "TPnlInstallChooseDir"; }
};
