#pragma once
// "Upgrading Fotelix": replaces the program file and the uninstaller of the
// chosen copy and writes a fresh settings file beside them, as soon as the
// page is in view; also the page of the automatic update, which ends by
// starting the updated product and ending the setup program.

#include <string>

#include "pages/Frame_Panel.h"
#include "pages/PNL_Progress.h"

class TPNLUpgradeUpgrading : public TFramePanel {
 public:
  TPNLUpgradeUpgrading(TComponent* owner, TPageHost& host);
  std::string ClassName() const override { return "TPNLUpgradeUpgrading"; }

  void EnterPage() override;
  void RunPage() override;

  // Red: the notice that the program file is in use and will be tried again.
  TLabel* Label1 = nullptr;
  TProgressBar* ProgressBar1 = nullptr;
  TLabel* Label12 = nullptr;

 private:
  TPageProgress progress_;
};
