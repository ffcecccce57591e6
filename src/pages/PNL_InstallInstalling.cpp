#include "pages/PNL_InstallInstalling.h"

#include "install/InstallRun.h"
#include "pages/PNL_Layout.h"
#include "pages/PageNames.h"

using namespace PageLayout;

TPNLInstallInstalling::TPNLInstallInstalling(TComponent* owner, TPageHost& host)
    : TFramePanel(owner, host),
      Label12(Label(*this, *this, "Label12", 344, 200, "0% complete")),
      ProgressBar1(Place<TProgressBar>(*this, *this, "ProgressBar1", 39, 232, 634, 26)),
      progress_(*ProgressBar1, *Label12) {
  Name = PageName::PNLInstallInstalling;
  // Named, as the page, after what is in progress.
  ProgressBar1->SetLabelledBy(this);
  // Its own font, whatever the page's: white, regular, 11 pixels.
  TFont font;
  font.Color = clWhite;
  Label12->SetFont(font);
  HeaderText = "Installing Fotelix";
}

void TPNLInstallInstalling::EnterPage() { progress_.Report(0); }

void TPNLInstallInstalling::RunPage() {
  // A click on the header is ignored while the run works.
  TWorkingRun run(Host());
  RunInstall(Host().Platform(), State(), progress_);
  if (run.End()) Host().ShowPage(PageName::PNLInstallReady, true);
}
