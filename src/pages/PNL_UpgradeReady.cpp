#include "pages/PNL_UpgradeReady.h"

#include "pages/PNL_Layout.h"
#include "pages/PageNames.h"
#include "resources/Resources.h"

using namespace PageLayout;

TPNLUpgradeReady::TPNLUpgradeReady(TComponent* owner, TPageHost& host) : TFramePanel(owner, host) {
  Name = PageName::PNLUpgradeReady;
  Label9 = Label(*this, *this, "Label9", 24, 12, "The upgrade of Fotelix is completed succesfully.",
                 fsBold);
  Image8 = Picture(*this, *this, "Image8", 24, 40, ResourceName::UpgradeFinished);
  Panel45 = Place<TPanel>(*this, *this, "Panel45", 440, 160, 240, 40);
  Panel45->SetColor(PageColor);
  Panel45->SetBevelOuter(TBevelCut::bvNone);
  Label11 = Label(*this, *Panel45, "Label11", 8, 8, "Enjoy Fotelix!", fsItalic);
  SetFontColor(*Label11, clWhite);
  SetFontHeight(*Label11, 19);
  HeaderText = "Upgrade of Fotelix ready";
}

void TPNLUpgradeReady::SetupButtons(tMvButtonBar& bar) {
  AddExitButton(bar);
  bar.AddRightButton("&Start Fotelix", 2, 2, [this](TObject* sender) { StartClick(sender); });
}

void TPNLUpgradeReady::StartClick(TObject*) {
  StartProductAndClose();
}
