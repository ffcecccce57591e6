#pragma once
// The page "Searching Fotelix": in the wizard's order and reachable by name; its
// controls and handlers come with the work that needs them.

#include "pages/Frame_Panel.h"

class TPnlUpgradeFindDir : public TFramePanel {
 public:
  TPnlUpgradeFindDir(TComponent* owner, TPageHost& host) : TFramePanel(owner, host) {
    Name = "PnlUpgradeFindDir";
    HeaderText = "Searching Fotelix";
  }
  std::string ClassName() const override { return "TPnlUpgradeFindDir"; }
};
