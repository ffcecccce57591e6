#pragma once
// The install run's page: a bar and a percentage while the run writes
// everything, then the install-finished page. It has no buttons.

#include "pages/Frame_Panel.h"
#include "pages/PNL_Progress.h"

class TPNLInstallInstalling : public TFramePanel {
 public:
  TPNLInstallInstalling(TComponent* owner, TPageHost& host);
  std::string ClassName() const override { return "TPNLInstallInstalling"; }

  void EnterPage() override;
  // The whole install, then the finished page. A failure travels on to the
  // error page.
  void RunPage() override;

  TLabel* Label12 = nullptr;
  TProgressBar* ProgressBar1 = nullptr;

 private:
  TPageProgress progress_;
};
