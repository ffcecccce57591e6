#include "pages/PNL_Progress.h"

#include "lib/LIB_Percent.h"
#include "ui/Application.h"

void TPageProgress::SetPosition(int32_t position) {
  bar_.SetPosition(position);
  percent_.SetCaption(std::to_string(RoundedPercent(bar_.Position(), bar_.Max())) + "% complete");
}

void TPageProgress::SetStatus(const std::string& text) {
  if (status_) status_->SetCaption(text);
}

void TPageProgress::LetMessagesRun() { Application().ProcessMessages(); }
