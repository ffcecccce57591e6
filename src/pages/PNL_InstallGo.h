#pragma once
// The page "Ready to install": in the wizard's order and reachable by name; its
// controls and handlers come with the work that needs them.

#include "app/Frame_Panel.h"

class TPNLInstallGo : public TFramePanel {
 public:
  explicit TPNLInstallGo(TComponent* owner) : TFramePanel(owner) {
    Name = "PNLInstallGo";
    HeaderText = "Ready to install";
  }
  std::string ClassName() const override { return "TPNLInstallGo"; }
};
