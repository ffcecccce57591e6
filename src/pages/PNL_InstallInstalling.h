#pragma once
// The install run's page: a bar and a percentage while the run writes
// everything, then the install-finished page. It has no buttons.

#include <cstdint>

#include "install/InstallRun.h"
#include "pages/Frame_Panel.h"
#include "ui/ExtCtrls.h"
#include "ui/StdCtrls.h"

class TPNLInstallInstalling : public TFramePanel {
 public:
  TPNLInstallInstalling(TComponent* owner, TPageHost& host);
  std::string ClassName() const override { return "TPNLInstallInstalling"; }

  void EnterPage() override;
  // The whole install, then the finished page. A failure travels on to the
  // error page.
  void RunPage() override;

  // Moves the bar, shows the rounded percentage and lets the window repaint.
  void ShowProgress(int32_t position);

  TLabel* Label12 = nullptr;
  TProgressBar* ProgressBar1 = nullptr;

 private:
  // The page's own controls as the run sees them.
  class TBar : public IRunProgressBar {
   public:
    explicit TBar(TProgressBar& bar) : bar_(bar) {}
    void SetMax(int32_t max) override { bar_.SetMax(max); }
    void SetPosition(int32_t position) override { bar_.SetPosition(position); }
    int32_t Position() const override { return bar_.Position(); }
    int32_t Max() const override { return bar_.Max(); }

   private:
    TProgressBar& bar_;
  };
  class TPercent : public ILabel {
   public:
    explicit TPercent(TLabel& label) : label_(label) {}
    void SetCaption(const std::string& caption) override { label_.SetCaption(caption); }

   private:
    TLabel& label_;
  };

  TBar bar_;
  TPercent percent_;
};
