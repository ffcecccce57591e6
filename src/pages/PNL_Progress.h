#pragma once
// The progress of a page's run as the engines see it: the page's bar, the
// label beside it that tells the percentage, and, where the page has one, a
// line of status text. Between steps the window's messages run through the
// application's own pump.

#include <cstdint>
#include <string>

#include "install/RunProgress.h"
#include "ui/ExtCtrls.h"
#include "ui/StdCtrls.h"

class TPageProgress : public IRunProgress {
 public:
  TPageProgress(TProgressBar& bar, TLabel& percent) : bar_(bar), percent_(percent) {}
  TPageProgress(TProgressBar& bar, TLabel& percent, TLabel& status)
      : bar_(bar), percent_(percent), status_(&status) {}

  void SetRange(int32_t maximum) override { bar_.SetMax(maximum); }
  int32_t Range() const override { return bar_.Max(); }
  // The percentage of the position that the bar holds, which stays within
  // its range, followed by "% complete".
  void SetPosition(int32_t position) override;
  void SetStatus(const std::string& text) override;
  void LetMessagesRun() override;

 private:
  TProgressBar& bar_;
  TLabel& percent_;
  TLabel* status_ = nullptr;
};
