#include "pages/Frame_Panel.h"

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
