#pragma once
// The kind of internet connection, from which the product tunes its
// downloading; stored in ConnectionKind as the index of the chosen item.

#include "pages/Frame_Panel.h"
#include "ui/ExtCtrls.h"
#include "ui/StdCtrls.h"

class TPNLInstallChooseConnection : public TFramePanel {
 public:
  TPNLInstallChooseConnection(TComponent* owner, TPageHost& host);
  std::string ClassName() const override { return "TPNLInstallChooseConnection"; }

  void SetupButtons(tMvButtonBar& bar) override;
  void EnterPage() override;

  TImage* Image1 = nullptr;
  TStaticText* StaticText1 = nullptr;
  TRadioGroup* rgConnection = nullptr;

  void NextClick(TObject* sender);
  void PreviousClick(TObject* sender);
};
