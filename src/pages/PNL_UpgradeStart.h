#pragma once
// "Ready to upgrade": the folders of the copies that the search found, to
// choose the one to upgrade or repair.

#include <string>

#include "pages/Frame_Panel.h"
#include "ui/StdCtrls.h"

class TPNLUpgradeStart : public TFramePanel {
 public:
  TPNLUpgradeStart(TComponent* owner, TPageHost& host);
  std::string ClassName() const override { return "TPNLUpgradeStart"; }

  void SetupButtons(tMvButtonBar& bar) override;
  // Lists the folder of every found copy, in the search's order, the first
  // one chosen and focused.
  void EnterPage() override;

  TLabel* Label13 = nullptr;
  TComboBox* ComboBoxUpgrade = nullptr;

  void UpgradeClick(TObject* sender);
  void PreviousClick(TObject* sender);
};
