#include "pages/PNL_UpgradeFindDir.h"

#include "install/UpgradeRun.h"
#include "lib/LIB_FindFiles.h"
#include "pages/PNL_Layout.h"
#include "pages/PageNames.h"
#include "platform/Path.h"
#include "platform/Platform.h"
#include "resources/Resources.h"
#include "ui/Dialogs.h"

using namespace PageLayout;

namespace {

// Fixed disks only: copies on removable or network drives are not offered.
constexpr uint8_t kFixedDisks = 1;

}  // namespace

TPnlUpgradeFindDir::TPnlUpgradeFindDir(TComponent* owner, TPageHost& host)
    : TFramePanel(owner, host),
      Image9(Picture(*this, *this, "Image9", 48, 88, ResourceName::Searching)),
      StaticText4(StaticText(*this, *this, "StaticText4", 288, 112, 392, 48, "")),
      ProgressBar1(Place<TProgressBar>(*this, *this, "ProgressBar1", 288, 176, 392, 18)),
      Label12(Label(*this, *this, "Label12", 288, 200, "0% complete")),
      progress_(*ProgressBar1, *Label12) {
  Name = PageName::PnlUpgradeFindDir;
  ProgressBar1->SetRange(0, 100);
  // Named, as the page, after what is in progress.
  ProgressBar1->SetLabelledBy(this);
  SetFontColor(*Label12, clWhite);
  HeaderText = "Searching Fotelix";
}

void TPnlUpgradeFindDir::RunPage() {
  TWorkingRun run(Host());
  Progress(0);
  StaticText4->SetCaption(
      "Now searching for installed Fotelix versions on your hard disks.\r"
      "All disks are scanned to find all installations.\r"
      "This can take a few moments.");
  State().FoundInstallations = FindFiles(
      Host().Platform(), "Fotelix.exe", kFixedDisks, "", 0,
      [this](const std::string& path) { return Filter(path); },
      [this](uint8_t percent) { return Progress(percent); });
  if (!run.End()) return;
  if (!State().FoundInstallations.empty()) {
    Progress(0);
    Host().ShowPage(PageName::PNLUpgradeStart, true);
    return;
  }
  ShowMessage(
      "No installed Fotelix versions could be found,\r"
      "or the found Fotelix versions are newer than\r"
      "the one in this installation. An upgrade is\r"
      "not possible.");
  Host().ShowPage(PageName::PnlInstall, true);
}

bool TPnlUpgradeFindDir::Filter(const std::string& path) {
  // A copy in a folder that an elevated upgrade may not write into is left
  // out: offered, it could only be refused, and preselected it would put the
  // user's first choice in another user's hands.
  return IsProductCopy(Host().Platform(), path) && MayUpgrade(Host().Platform(), ExtractFilePath(path));
}

bool TPnlUpgradeFindDir::Progress(uint8_t percent) {
  progress_.Report(percent);
  return false;
}
