#pragma once
// The choice between a new installation and the upgrade or repair of an
// installed copy, and whether a desktop shortcut is wanted.

#include "pages/Frame_Panel.h"
#include "ui/ExtCtrls.h"
#include "ui/StdCtrls.h"

class TPnlInstall : public TFramePanel {
 public:
  TPnlInstall(TComponent* owner, TPageHost& host);
  std::string ClassName() const override { return "TPnlInstall"; }

  void SetupButtons(tMvButtonBar& bar) override;

  TPanel* Panel44 = nullptr;
  TImage* Image4 = nullptr;
  TLabel* Label2 = nullptr;
  TLabel* Label5 = nullptr;
  TLabel* Label14 = nullptr;
  TLabel* Label18 = nullptr;
  TLabel* Label4a = nullptr;
  TRadioButton* RadioButton1 = nullptr;
  TRadioButton* RadioButton2 = nullptr;
  TLabel* Label4 = nullptr;
  TLabel* Label6 = nullptr;
  TLabel* Label7 = nullptr;
  TLabel* Label1 = nullptr;
  TCheckBox* CheckBox1 = nullptr;
  TLabel* Label3 = nullptr;
  TStaticText* StaticText1 = nullptr;

  void RadioButton1Click(TObject* sender);
  void RadioButton2Click(TObject* sender);
  void Label18Click(TObject* sender);
  void NextClick(TObject* sender);
  void PreviousClick(TObject* sender);
};
