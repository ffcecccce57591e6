#pragma once
// The terms page: a fixed statement and the box that agrees to it; the
// wizard goes on only with the box ticked, anew on every arrival.

#include <string>

#include "pages/Frame_Panel.h"
#include "ui/ExtCtrls.h"
#include "ui/StdCtrls.h"

class TPnlDisclaimer : public TFramePanel {
 public:
  TPnlDisclaimer(TComponent* owner, TPageHost& host);
  std::string ClassName() const override { return "TPnlDisclaimer"; }

  void SetupButtons(tMvButtonBar& bar) override;
  void EnterPage() override;

  // Sixteen lines broken by carriage returns, in four paragraphs.
  static const std::string& Statement();

  TStaticText* txtDisclaimer = nullptr;
  TImage* Image3 = nullptr;
  TCheckBox* CheckBox1 = nullptr;

  void NextClick(TObject* sender);
  void PreviousClick(TObject* sender);
};
