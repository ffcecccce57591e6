#pragma once
// The page "Upgrading Fotelix": in the wizard's order and reachable by name; its
// controls and handlers come with the work that needs them.

#include "app/Frame_Panel.h"

class TPNLUpgradeUpgrading : public TFramePanel {
 public:
  explicit TPNLUpgradeUpgrading(TComponent* owner) : TFramePanel(owner) {
    Name = "PNLUpgradeUpgrading";
    HeaderText = "Upgrading Fotelix";
  }
  std::string ClassName() const override { return "TPNLUpgradeUpgrading"; }
};
