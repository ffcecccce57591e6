#include "pages/PNL_UpgradeUpgrading.h"

#include "install/UpgradeRun.h"
#include "pages/PNL_Layout.h"
#include "pages/PageNames.h"
#include "platform/Platform.h"

using namespace PageLayout;

TPNLUpgradeUpgrading::TPNLUpgradeUpgrading(TComponent* owner, TPageHost& host)
    : TFramePanel(owner, host),
      Label1(Label(*this, *this, "Label1", 8, 8, ".")),
      ProgressBar1(Place<TProgressBar>(*this, *this, "ProgressBar1", 40, 168, 632, 18)),
      Label12(Label(*this, *this, "Label12", 40, 192, "0% complete")),
      progress_(*ProgressBar1, *Label12, *Label1) {
  Name = PageName::PNLUpgradeUpgrading;
  SetFontColor(*Label1, clRed);
  // Named, as the page, after what is in progress.
  ProgressBar1->SetLabelledBy(this);
  SetFontColor(*Label12, clWhite);
  HeaderText = "Upgrading Fotelix";
}

void TPNLUpgradeUpgrading::EnterPage() { progress_.Report(0); }

void TPNLUpgradeUpgrading::RunPage() {
  TWorkingRun run(Host());
  RunUpgrade(Host().Platform(), State(), progress_);
  if (!run.End()) return;
  // The updated product takes over; nothing of the setup is left to show.
  if (State().AutoUpdate) {
    Host().Platform().ExitProcess(0);
    return;
  }
  Host().ShowPage(PageName::PNLUpgradeReady, true);
}
