#pragma once
// The page "Installing Fotelix": in the wizard's order and reachable by name; its
// controls and handlers come with the work that needs them.

#include "pages/Frame_Panel.h"

class TPNLInstallInstalling : public TFramePanel {
 public:
  TPNLInstallInstalling(TComponent* owner, TPageHost& host) : TFramePanel(owner, host) {
    Name = "PNLInstallInstalling";
    HeaderText = "Installing Fotelix";
  }
  std::string ClassName() const override { return "TPNLInstallInstalling"; }
};
