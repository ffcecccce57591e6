#pragma once
// The end of the error route: the message of an unexpected failure, what the
// user can do about it, and the ways out, "&Exit" and "&Restart".

#include <string>

#include "pages/Frame_Panel.h"
#include "ui/ExtCtrls.h"
#include "ui/StdCtrls.h"

class TPnlError : public TFramePanel {
 public:
  TPnlError(TComponent* owner, TPageHost& host);
  ~TPnlError() override;
  std::string ClassName() const override { return "TPnlError"; }

  void SetupButtons(tMvButtonBar& bar) override;
  // Shows the message; it stays until the next call.
  void SetMessage(const std::string& message);

  TImage* Image1 = nullptr;
  TPanel* Panel1 = nullptr;
  TLabel* Label1 = nullptr;
  TStaticText* StaticText1 = nullptr;
  TButton* btnClipboard = nullptr;
  TLabel* Label2 = nullptr;
  TStaticText* StaticText2 = nullptr;
  TStaticText* StaticText3 = nullptr;
  TStaticText* StaticText4 = nullptr;
  TLabel* Label3 = nullptr;
  TStaticText* StaticText5 = nullptr;
  TStaticText* StaticText6 = nullptr;
  TStaticText* StaticText7 = nullptr;
  TLabel* Label4 = nullptr;
  TLabel* Label5 = nullptr;

  void RestartClick(TObject* sender);
  void btnClipboardClick(TObject* sender);
  void Label5Click(TObject* sender);
};

extern TPnlError* ErrorPage;
