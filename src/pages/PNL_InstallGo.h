#pragma once
// The summary before the install run: the two folders and the shortcut
// choice, and the button that starts the installation.

#include "pages/Frame_Panel.h"
#include "ui/ExtCtrls.h"
#include "ui/StdCtrls.h"

class TPNLInstallGo : public TFramePanel {
 public:
  TPNLInstallGo(TComponent* owner, TPageHost& host);
  std::string ClassName() const override { return "TPNLInstallGo"; }

  void SetupButtons(tMvButtonBar& bar) override;
  void EnterPage() override;

  TImage* Image7 = nullptr;
  TLabel* Label1 = nullptr;
  TLabel* Label2 = nullptr;
  TLabel* Label6 = nullptr;
  TLabel* Label7 = nullptr;
  TLabel* Label8 = nullptr;

  void NextClick(TObject* sender);
  void PreviousClick(TObject* sender);
};
