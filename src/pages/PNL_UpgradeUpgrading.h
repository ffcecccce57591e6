#pragma once
// The page "Upgrading Fotelix": in the wizard's order and reachable by name; its
// controls and handlers come with the work that needs them.

#include "pages/Frame_Panel.h"

class TPNLUpgradeUpgrading : public TFramePanel {
 public:
  TPNLUpgradeUpgrading(TComponent* owner, TPageHost& host) : TFramePanel(owner, host) {
    Name = "PNLUpgradeUpgrading";
    HeaderText = "Upgrading Fotelix";
  }
  std::string ClassName() const override { return "TPNLUpgradeUpgrading"; }
};
