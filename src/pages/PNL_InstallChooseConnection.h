#pragma once
// The page "Select your internet-connection": in the wizard's order and reachable by name; its
// controls and handlers come with the work that needs them.

#include "pages/Frame_Panel.h"

class TPNLInstallChooseConnection : public TFramePanel {
 public:
  TPNLInstallChooseConnection(TComponent* owner, TPageHost& host) : TFramePanel(owner, host) {
    Name = "PNLInstallChooseConnection";
    HeaderText = "Select your internet-connection";
  }
  std::string ClassName() const override { return "TPNLInstallChooseConnection"; }
};
