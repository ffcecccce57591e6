#include "pages/PNL_InstallReady.h"

#include "pages/PNL_Layout.h"
#include "pages/PageNames.h"
#include "resources/Resources.h"

using namespace PageLayout;

TPNLInstallReady::TPNLInstallReady(TComponent* owner, TPageHost& host) : TFramePanel(owner, host) {
  Name = PageName::PNLInstallReady;
  Label9 = Label(*this, *this, "Label9", 8, 24, "The installation of Fotelix is completed succesfully.");
  TFont bold;
  bold.Style = fsBold;
  Label9->SetFont(bold);
  Label11 = Label(*this, *this, "Label11", 8, 57, "Enjoy your Fotelix!");
  TFont large;
  large.Height = 19;
  large.Style = fsItalic;
  large.Color = clWhite;
  Label11->SetFont(large);
  // Drawn unscaled from the corner of a larger control.
  Image1 = Picture(*this, *this, "Image1", 342, 0, 385, 417, ResourceName::InstallFinished);
  HeaderText = "Installation of Fotelix ready";
}

void TPNLInstallReady::SetupButtons(tMvButtonBar& bar) {
  AddExitButton(bar);
  bar.AddRightButton("&Start Fotelix", 2, 2, [this](TObject* sender) { NextClick(sender); });
}

void TPNLInstallReady::NextClick(TObject*) {
  StartProductAndClose();
}
