#pragma once
// A page's progress bar and percentage label as the engines of the runs see
// them: the engines never touch a control.

#include <cstdint>
#include <string>

#include "install/InstallRun.h"
#include "ui/ExtCtrls.h"
#include "ui/StdCtrls.h"

class TPageProgressBar : public IRunProgressBar {
 public:
  explicit TPageProgressBar(TProgressBar& bar) : bar_(bar) {}
  void SetMax(int32_t max) override { bar_.SetMax(max); }
  void SetPosition(int32_t position) override { bar_.SetPosition(position); }
  int32_t Position() const override { return bar_.Position(); }
  int32_t Max() const override { return bar_.Max(); }

 private:
  TProgressBar& bar_;
};

class TPageLabel : public ILabel {
 public:
  explicit TPageLabel(TLabel& label) : label_(label) {}
  void SetCaption(const std::string& caption) override { label_.SetCaption(caption); }

 private:
  TLabel& label_;
};
