#include "pages/PNL_UpgradeUpgrading.h"

#include "install/UpgradeRun.h"
#include "pages/PNL_Layout.h"
#include "pages/PageNames.h"
#include "pages/PNL_Progress.h"
#include "platform/Platform.h"

using namespace PageLayout;

TPNLUpgradeUpgrading::TPNLUpgradeUpgrading(TComponent* owner, TPageHost& host)
    : TFramePanel(owner, host) {
  Name = PageName::PNLUpgradeUpgrading;
  Label1 = Label(*this, *this, "Label1", 8, 8, ".");
  SetFontColor(*Label1, clRed);
  ProgressBar1 = Place<TProgressBar>(*this, *this, "ProgressBar1", 40, 168, 632, 18);
  // Named, as the page, after what is in progress.
  ProgressBar1->SetLabelledBy(this);
  Label12 = Label(*this, *this, "Label12", 40, 192, "0% complete");
  SetFontColor(*Label12, clWhite);
  HeaderText = "Upgrading Fotelix";
}

void TPNLUpgradeUpgrading::EnterPage() {
  TPageProgressBar bar(*ProgressBar1);
  TPageLabel label(*Label12);
  ShowProgress(Host().Platform(), bar, label, 0);
}

void TPNLUpgradeUpgrading::RunPage() {
  TWorkingRun run(Host());
  TPageProgressBar bar(*ProgressBar1);
  TPageLabel label(*Label12);
  RunUpgrade(Host().Platform(), State(), bar, label,
             [this](const std::string& text) { Label1->SetCaption(text); });
  if (!run.End()) return;
  // The updated product takes over; nothing of the setup is left to show.
  if (State().AutoUpdate) {
    Host().Platform().ExitProcess(0);
    return;
  }
  Host().ShowPage(PageName::PNLUpgradeReady, true);
}
