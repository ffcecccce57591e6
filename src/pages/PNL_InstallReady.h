#pragma once
// The last page of a fresh installation: it can start the installed product.

#include "pages/Frame_Panel.h"
#include "ui/ExtCtrls.h"
#include "ui/StdCtrls.h"

class TPNLInstallReady : public TFramePanel {
 public:
  TPNLInstallReady(TComponent* owner, TPageHost& host);
  std::string ClassName() const override { return "TPNLInstallReady"; }

  void SetupButtons(tMvButtonBar& bar) override;

  TLabel* Label9 = nullptr;
  TLabel* Label11 = nullptr;
  TImage* Image1 = nullptr;

  // Starts the product and closes the window.
  void NextClick(TObject* sender);
};
