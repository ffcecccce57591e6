#pragma once
// The page "Installation of Fotelix ready": in the wizard's order and reachable by name; its
// controls and handlers come with the work that needs them.

#include "pages/Frame_Panel.h"

class TPNLInstallReady : public TFramePanel {
 public:
  TPNLInstallReady(TComponent* owner, TPageHost& host) : TFramePanel(owner, host) {
    Name = "PNLInstallReady";
    HeaderText = "Installation of Fotelix ready";
  }
  std::string ClassName() const override { return "TPNLInstallReady"; }
};
