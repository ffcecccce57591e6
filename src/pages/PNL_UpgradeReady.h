#pragma once
// The page "Upgrade of Fotelix ready": in the wizard's order and reachable by name; its
// controls and handlers come with the work that needs them.

#include "app/Frame_Panel.h"

class TPNLUpgradeReady : public TFramePanel {
 public:
  explicit TPNLUpgradeReady(TComponent* owner) : TFramePanel(owner) {
    Name = "PNLUpgradeReady";
    HeaderText = "Upgrade of Fotelix ready";
  }
  std::string ClassName() const override { return "TPNLUpgradeReady"; }
};
