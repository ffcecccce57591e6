#include "pages/Frame_Panel.h"

#include <exception>

#include "install/UpgradeRun.h"
#include "platform/Platform.h"

TFramePanel::TFramePanel(TComponent* owner, TPageHost& host) : TCustomControl(owner), host_(host) {
  ControlStyle |= csOpaque;
  SetParentColor(false);
  SetColor(PageColor);
  SetBounds(0, 0, PageWidth, PageHeight);
}

void TFramePanel::SetupButtons(tMvButtonBar&) {}

void TFramePanel::EnterPage() {}

void TFramePanel::RunPage() {}

void TFramePanel::Paint(TCanvas& canvas) {
  canvas.Brush.Color = Color();
  canvas.Brush.Style = TBrushStyle::Solid;
  canvas.FillRect(ClientRect());
}

void TFramePanel::DescribeAccessible(TAccessibleInfo& info) const {
  info.Role = TAccessibleRole::PropertyPage;
  info.Name = HeaderText;
  info.Focusable = true;
}

void TFramePanel::ExitClick(TObject*) { Host().Close(); }

void TFramePanel::AddExitButton(tMvButtonBar& bar) {
  bar.AddLeftButton("&Exit", 1, 1, [this](TObject* sender) { ExitClick(sender); });
}

void TFramePanel::StartProductAndClose() {
  try {
    Host().Platform().StartProgramAsUser(ProductProgram(State().InstallDir), kSwShowMaximized);
  } catch (const std::exception&) {
    // The window closes whether or not the product started.
  }
  Host().Close();
}
