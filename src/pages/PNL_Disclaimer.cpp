#include "pages/PNL_Disclaimer.h"

#include "pages/PNL_Layout.h"
#include "pages/PageNames.h"
#include "resources/Resources.h"
#include "ui/Dialogs.h"

using namespace PageLayout;

TPnlDisclaimer::TPnlDisclaimer(TComponent* owner, TPageHost& host) : TFramePanel(owner, host) {
  Name = PageName::PnlDisclaimer;
  txtDisclaimer = StaticText(*this, *this, "txtDisclaimer", 4, 14, 374, 290, "");
  txtDisclaimer->SetParentColor(false);
  txtDisclaimer->SetColor(clWhite);

  Image3 = Picture(*this, *this, "Image3", 379, 14, 320, 290, ResourceName::Terms);
  Image3->SetStretch(true);

  CheckBox1 = Place<TCheckBox>(*this, *this, "CheckBox1", 24, 328, 601, 25);
  CheckBox1->SetParentColor(true);
  SetFontHeight(*CheckBox1, 21);
  CheckBox1->SetCaption("&I have read the statement above and I fully agree with this statement.");

  HeaderText = "Disclaimer";
}

const std::string& TPnlDisclaimer::Statement() {
  // Lines short enough for the box in the substitutes of its font too.
  static const std::string statement =
      "Fotelix is protected by copyright and belongs to its maker.\r"
      "Everybody may use Fotelix, copy it and distribute the copies,\r"
      "free of charge and without asking for permission. Nobody may\r"
      "modify the program, its files or this statement.\r"
      "\r"
      "The software is provided as it comes, without warranty of any\r"
      "kind. You install and use Fotelix at your own responsibility;\r"
      "its maker is not liable for any damage or loss that may follow.\r"
      "\r"
      "Installing or using Fotelix creates no legal relation between\r"
      "you and its maker: no contract and no duty to give support, to\r"
      "correct errors or to deliver updates, on either side.\r"
      "\r"
      "Fotelix is provided under the law of the country where its\r"
      "maker is established; any dispute is for the competent court\r"
      "of that country, as far as your own law allows this.";
  return statement;
}

void TPnlDisclaimer::SetupButtons(tMvButtonBar& bar) {
  AddExitButton(bar);
  bar.AddRightButton("&Next", 2, 1, [this](TObject* sender) { NextClick(sender); });
  bar.AddRightButton("&Previous", 3, 1, [this](TObject* sender) { PreviousClick(sender); });
}

void TPnlDisclaimer::EnterPage() {
  txtDisclaimer->SetCaption(Statement());
  CheckBox1->SetChecked(false);
}

void TPnlDisclaimer::NextClick(TObject*) {
  if (CheckBox1->Checked()) {
    Host().ShowPage(PageName::PnlInstall, true);
    return;
  }
  ShowMessage(
      "You can only install Fotelix in case you agree to this statement.\r"
      "Check the checkbox to confirm.\r"
      "Otherwise please press Exit");
}

void TPnlDisclaimer::PreviousClick(TObject*) {
  Host().ShowPage(PageName::PnlWelcome, true);
}
