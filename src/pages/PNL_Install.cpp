#include "pages/PNL_Install.h"

#include "pages/PNL_Layout.h"
#include "pages/PageNames.h"
#include "resources/Resources.h"

using namespace PageLayout;

TPnlInstall::TPnlInstall(TComponent* owner, TPageHost& host) : TFramePanel(owner, host) {
  Name = PageName::PnlInstall;
  Panel44 = Place<TPanel>(*this, *this, "Panel44", 8, 8, 337, 281);
  Panel44->SetColor(clWhite);
  Image4 = Picture(*this, *Panel44, "Image4", 8, 8, ResourceName::InstallOrUpgrade);
  Label2 = Label(*this, *Panel44, "Label2", 8, 208,
                 "We did a lot to make sure installation of Fotelix will work smoothly.");
  Label5 = Label(*this, *Panel44, "Label5", 9, 228,
                 "In case you experience some problems anyway please let us know");
  Label14 = Label(*this, *Panel44, "Label14", 8, 248, "so we can try to help. You can reach us at :");
  Label18 = MailLink(*this, *Panel44, "Label18", 216, 248);
  Label18->OnClick = [this](TObject* sender) { Label18Click(sender); };

  Label4a = Label(*this, *this, "Label4a", 372, 17, "What do you want to do?", fsBold);
  RadioButton1 = Place<TRadioButton>(*this, *this, "RadioButton1", 389, 41, 260, 17);
  RadioButton1->SetParentColor(true);
  RadioButton1->SetCaption("&Install Fotelix on this computer");
  RadioButton1->SetChecked(true);
  RadioButton2 = Place<TRadioButton>(*this, *this, "RadioButton2", 389, 69, 260, 17);
  RadioButton2->SetParentColor(true);
  RadioButton2->SetCaption("&Upgrade/repair an existing installation");
  Label4 = Label(*this, *this, "Label4", 424, 88, "Existing settings and data will remain.");
  Label6 = Label(*this, *this, "Label6", 424, 101, "(File)corruptions in the program or data");
  Label7 = Label(*this, *this, "Label7", 424, 115, "will be replaced or repaired.");
  Label1 = Label(*this, *this, "Label1", 372, 151, "Shortcut", fsBold);
  CheckBox1 = Place<TCheckBox>(*this, *this, "CheckBox1", 394, 171, 260, 17);
  CheckBox1->SetParentColor(true);
  CheckBox1->SetCaption("&Create a shortcut on the desktop");
  CheckBox1->SetChecked(true);
  Label3 = Label(*this, *this, "Label3", 375, 210, "Directory", fsBold);
  StaticText1 = StaticText(
      *this, *this, "StaticText1", 392, 229, 185, 30,
      "In the next step you'll be asked to choose the installation directory. ");
  // Set after the start values, so that only the user's choices run them.
  RadioButton1->OnClick = [this](TObject* sender) { RadioButton1Click(sender); };
  RadioButton2->OnClick = [this](TObject* sender) { RadioButton2Click(sender); };

  HeaderText = "Install or upgrade?";
}

void TPnlInstall::SetupButtons(tMvButtonBar& bar) {
  AddExitButton(bar);
  bar.AddRightButton("&Next", 2, 1, [this](TObject* sender) { NextClick(sender); });
  bar.AddRightButton("&Previous", 3, 1, [this](TObject* sender) { PreviousClick(sender); });
}

void TPnlInstall::RadioButton1Click(TObject*) { RadioButton2->SetChecked(!RadioButton1->Checked()); }

void TPnlInstall::RadioButton2Click(TObject*) { RadioButton1->SetChecked(!RadioButton2->Checked()); }

void TPnlInstall::Label18Click(TObject*) { OpenSupportMail(Host().Platform()); }

void TPnlInstall::NextClick(TObject*) {
  State().UpgradeChosen = RadioButton2->Checked();
  State().CreateDesktopShortcut = CheckBox1->Checked();
  Host().ShowPage(State().UpgradeChosen ? PageName::PnlUpgradeFindDir : PageName::PnlInstallChooseDir, true);
}

void TPnlInstall::PreviousClick(TObject*) {
  Host().ShowPage(PageName::PnlDisclaimer, true);
}
