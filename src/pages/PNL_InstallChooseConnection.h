#pragma once
// The page "Select your internet-connection": in the wizard's order and reachable by name; its
// controls and handlers come with the work that needs them.

#include "app/Frame_Panel.h"

class TPNLInstallChooseConnection : public TFramePanel {
 public:
  explicit TPNLInstallChooseConnection(TComponent* owner) : TFramePanel(owner) {
    Name = "PNLInstallChooseConnection";
    HeaderText = "Select your internet-connection";
  }
  std::string ClassName() const override { return "TPNLInstallChooseConnection"; }
};
