#pragma once
// "Upgrade of Fotelix ready": the end of a chosen upgrade, with the way to
// start the product.

#include <string>

#include "pages/Frame_Panel.h"
#include "ui/ExtCtrls.h"
#include "ui/StdCtrls.h"

class TPNLUpgradeReady : public TFramePanel {
 public:
  TPNLUpgradeReady(TComponent* owner, TPageHost& host);
  std::string ClassName() const override { return "TPNLUpgradeReady"; }

  void SetupButtons(tMvButtonBar& bar) override;

  TLabel* Label9 = nullptr;
  TImage* Image8 = nullptr;
  TPanel* Panel45 = nullptr;
  TLabel* Label11 = nullptr;

  // Starts the upgraded product maximised and closes the window, also when
  // the product cannot be started.
  void StartClick(TObject* sender);
};
