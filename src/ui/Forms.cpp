#include "ui/Forms.h"

#include "ui/Application.h"

TForm::TForm(TComponent* owner) : TWinControl(owner, TControlKind::Form) {
  ControlStyle |= csOpaque;
  SetVisible(false);
  SetBounds(0, 0, 320, 240);
}

TForm::~TForm() {
  // Message boxes must not look for a freed main window.
  if (Application().MainForm == this) Application().MainForm = nullptr;
}

void TForm::Close() {
  Fire(OnClose);
  Hide();
  if (Application().MainForm == this) Application().Terminate();
}

void TForm::Changed(TPeerChange what) {
  // OnShow runs before the window appears, so that it can still set it up.
  if (what == TPeerChange::Visible && Visible()) {
    if (Position == TPosition::poScreenCenter) {
      const TPoint screen = Application().Backend().ScreenSize();
      SetBounds((screen.X - Width()) / 2, (screen.Y - Height()) / 2, Width(), Height());
    }
    Fire(OnShow);
  }
  TWinControl::Changed(what);
}

void TForm::FocusControl(TWinControl& control) {
  waitingFocus_ = TComponentRef<TWinControl>(&control);
  GiveWaitingFocus();
}

void TForm::GiveWaitingFocus() {
  TWinControl* control = waitingFocus_.get();
  if (!control || control->ParentForm() != this || !control->CanFocus()) return;
  waitingFocus_ = TComponentRef<TWinControl>();
  control->Peer().SetFocus();
}

void TForm::SetAlphaBlend(bool value) {
  if (value == alphaBlend_) return;
  alphaBlend_ = value;
  TWinControl::Changed(TPeerChange::State);
}

void TForm::SetAlphaBlendValue(uint8_t value) {
  if (value == alphaBlendValue_) return;
  alphaBlendValue_ = value;
  TWinControl::Changed(TPeerChange::State);
}

void TForm::Paint(TCanvas& canvas) {
  canvas.Brush.Color = Color();
  canvas.Brush.Style = TBrushStyle::Solid;
  canvas.FillRect(ClientRect());
}

void TForm::DescribeAccessible(TAccessibleInfo& info) const {
  info.Role = TAccessibleRole::Client;
}
