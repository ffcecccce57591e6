#pragma once
// The page "Upgrade of Fotelix ready": in the wizard's order and reachable by name; its
// controls and handlers come with the work that needs them.

#include "pages/Frame_Panel.h"

class TPNLUpgradeReady : public TFramePanel {
 public:
  TPNLUpgradeReady(TComponent* owner, TPageHost& host) : TFramePanel(owner, host) {
    Name = "PNLUpgradeReady";
    HeaderText = "Upgrade of Fotelix ready";
  }
  std::string ClassName() const override { return "TPNLUpgradeReady"; }
};
