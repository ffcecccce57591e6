#pragma once
// "Searching Fotelix": looks for installed copies of the product on the fixed
// disks as soon as it is in view, then leads to the choice among them, or,
// when there is none, back to the choice between install and upgrade.

#include <cstdint>
#include <string>

#include "pages/Frame_Panel.h"
#include "pages/PNL_Progress.h"

class TPnlUpgradeFindDir : public TFramePanel {
 public:
  TPnlUpgradeFindDir(TComponent* owner, TPageHost& host);
  std::string ClassName() const override { return "TPnlUpgradeFindDir"; }

  void RunPage() override;

  TImage* Image9 = nullptr;
  TStaticText* StaticText4 = nullptr;
  TProgressBar* ProgressBar1 = nullptr;
  TLabel* Label12 = nullptr;

  // Accepts a found file whose first byte, as the settings files' byte
  // reader reads it, is below 231; a program file starts with "M" (77).
  // A file that cannot be opened or read is rejected.
  bool Filter(const std::string& path);
  // Shows the percentage and keeps the window answering; never asks the
  // search to stop.
  bool Progress(uint8_t percent);

 private:
  TPageProgress progress_;
};
