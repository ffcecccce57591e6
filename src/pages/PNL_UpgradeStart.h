#pragma once
// The page "Ready to upgrade": in the wizard's order and reachable by name; its
// controls and handlers come with the work that needs them.

#include "pages/Frame_Panel.h"

class TPNLUpgradeStart : public TFramePanel {
 public:
  TPNLUpgradeStart(TComponent* owner, TPageHost& host) : TFramePanel(owner, host) {
    Name = "PNLUpgradeStart";
    HeaderText = "Ready to upgrade";
  }
  std::string ClassName() const override { return "TPNLUpgradeStart"; }
};
