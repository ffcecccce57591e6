#pragma once
// The page "Ready to upgrade": in the wizard's order and reachable by name; its
// controls and handlers come with the work that needs them.

#include "app/Frame_Panel.h"

class TPNLUpgradeStart : public TFramePanel {
 public:
  explicit TPNLUpgradeStart(TComponent* owner) : TFramePanel(owner) {
    Name = "PNLUpgradeStart";
    HeaderText = "Ready to upgrade";
  }
  std::string ClassName() const override { return "TPNLUpgradeStart"; }
};
