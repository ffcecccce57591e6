#pragma once
// The page "Searching Fotelix": in the wizard's order and reachable by name; its
// controls and handlers come with the work that needs them.

#include "app/Frame_Panel.h"

class TPnlUpgradeFindDir : public TFramePanel {
 public:
  explicit TPnlUpgradeFindDir(TComponent* owner) : TFramePanel(owner) {
    Name = "PnlUpgradeFindDir";
    HeaderText = "Searching Fotelix";
  }
  std::string ClassName() const override { return "TPnlUpgradeFindDir"; }
};
