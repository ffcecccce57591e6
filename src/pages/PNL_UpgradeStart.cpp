#include "pages/PNL_UpgradeStart.h"

#include <vector>

#include "pages/PNL_Layout.h"
#include "pages/PageNames.h"
#include "platform/Path.h"
#include "platform/Platform.h"

using namespace PageLayout;

TPNLUpgradeStart::TPNLUpgradeStart(TComponent* owner, TPageHost& host) : TFramePanel(owner, host) {
  Name = PageName::PNLUpgradeStart;
  Label13 = Label(*this, *this, "Label13", 40, 40, "Upgrade and repair Fotelix installed in:");
  ComboBoxUpgrade = Place<TComboBox>(*this, *this, "ComboBoxUpgrade", 40, 60, 632, 21);
  ComboBoxUpgrade->SetLabelledBy(Label13);
  HeaderText = "Ready to upgrade";
}

void TPNLUpgradeStart::SetupButtons(tMvButtonBar& bar) {
  AddExitButton(bar);
  bar.AddRightButton("&Upgrade", 2, 1, [this](TObject* sender) { UpgradeClick(sender); });
  bar.AddRightButton("&Previous", 3, 1, [this](TObject* sender) { PreviousClick(sender); });
}

void TPNLUpgradeStart::EnterPage() {
  std::vector<std::string> folders;
  for (const std::string& path : State().FoundInstallations) folders.push_back(ExtractFilePath(path));
  ComboBoxUpgrade->SetItems(folders);
  ComboBoxUpgrade->SetItemIndex(folders.empty() ? -1 : 0);
  ComboBoxUpgrade->SetFocus();
}

void TPNLUpgradeStart::UpgradeClick(TObject*) {
  State().InstallDir = ComboBoxUpgrade->Text();
  Host().ShowPage(PageName::PNLUpgradeUpgrading, true);
}

void TPNLUpgradeStart::PreviousClick(TObject*) {
  Host().ShowPage(PageName::PnlInstall, true);
}
