#pragma once
// The page "Ready to install": in the wizard's order and reachable by name; its
// controls and handlers come with the work that needs them.

#include "pages/Frame_Panel.h"

class TPNLInstallGo : public TFramePanel {
 public:
  TPNLInstallGo(TComponent* owner, TPageHost& host) : TFramePanel(owner, host) {
    Name = "PNLInstallGo";
    HeaderText = "Ready to install";
  }
  std::string ClassName() const override { return "TPNLInstallGo"; }
};
