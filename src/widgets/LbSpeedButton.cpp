#include "widgets/LbSpeedButton.h"

#include "widgets/LbButtonPaint.h"

#include "ui/ActnList.h"
#include "ui/Application.h"
#include "ui/Forms.h"

TLbSpeedButton::TLbSpeedButton(TComponent* owner) : TCustomControl(owner) {
  ControlStyle = (ControlStyle | csCaptureMouse | csSetCaption | csDoubleClicks) & ~csOpaque;
  SetBounds(Left(), Top(), 100, 23);
  if (auto* form = dynamic_cast<TForm*>(owner)) hotTrackFont_ = form->Font();
}

TLbSpeedButton* TLbSpeedButton::CreateAt(TWinControl* owner, int left, int width, int top,
                                         TColor lightColor, TColor shadowColor) {
  TLbSpeedButton* button = owner->Create<TLbSpeedButton>();
  button->hotTrackFont_ = TFont();
  button->SetParentColor(false);
  button->SetBounds(left, top, width, 23);
  button->SetParent(owner);
  button->looks_.LightColor = lightColor;
  button->looks_.ShadowColor = shadowColor;
  button->looks_.Alignment = TAlignment::taCenter;
  return button;
}

TLbSpeedButton::~TLbSpeedButton() {
  // Ticks the worker has already asked for are still served while it is
  // joined; they find the button going and leave it alone.
  destroying_ = true;
  fadeThread_.reset();
}

void TLbSpeedButton::RepaintFace() {
  if (looks_.Transparent)
    Invalidate();
  else
    Repaint();
}

bool TLbSpeedButton::Reachable() const {
  return Enabled() && Visible() && Parent() && Parent()->Showing();
}

void TLbSpeedButton::Changed(TPeerChange what) {
  TCustomControl::Changed(what);
  if (what == TPeerChange::Text || what == TPeerChange::Font || what == TPeerChange::Color ||
      what == TPeerChange::Enabled)
    Invalidate();
}

void TLbSpeedButton::SetAlignment(TAlignment value) {
  looks_.Alignment = value;
  RepaintFace();
}

void TLbSpeedButton::SetColorWhenDown(TColor value) {
  looks_.ColorWhenDown = value;
  RepaintFace();
}

void TLbSpeedButton::SetColorStyle(TLbColorStyle value) {
  colorStyle_ = value;
  const std::optional<TLbColorStyleValues> preset = ApplyColorStyle(value);
  if (!preset) return;
  looks_.LightColor = preset->LightColor;
  looks_.ShadowColor = preset->ShadowColor;
  looks_.ColorWhenDown = preset->ColorWhenDown;
  looks_.HotTrackColor = preset->HotTrackColor;
  looks_.Flat = preset->Flat;
  SetColor(preset->Color);
  TFont font = Font();
  font.Color = preset->FontColor;
  SetFont(font);
  // A preset names its look outright, whatever the screen.
  looks_.Style = preset->Style;
  Repaint();
}

void TLbSpeedButton::StoreDown(bool value) {
  looks_.Down = value;
  TCustomControl::Changed(TPeerChange::State);
  RepaintFace();
}

void TLbSpeedButton::ReleaseInGroup() {
  if (looks_.Down) StoreDown(false);
}

void TLbSpeedButton::SetDown(bool value) {
  if (value == looks_.Down) return;
  if (groupIndex_ != 0 && Parent()) {
    // Siblings are released directly: going through their setters would
    // have each release the others again, without end when two are down.
    for (TControl* control : Parent()->Controls()) {
      auto* sibling = dynamic_cast<TLbSpeedButton*>(control);
      if (sibling && sibling != this && sibling->groupIndex_ == groupIndex_) sibling->ReleaseInGroup();
    }
  }
  StoreDown(value);
}

void TLbSpeedButton::SetFlat(bool value) {
  looks_.Flat = value;
  RepaintFace();
}

void TLbSpeedButton::SetGlyph(const TBitmap* glyph) {
  if (glyph) {
    looks_.Glyph = *glyph;
    looks_.GlyphCells = looks_.Glyph.Height() == 0 ? 0 : looks_.Glyph.Width() / looks_.Glyph.Height();
  } else {
    looks_.Glyph = TBitmap();
    looks_.GlyphCells = 0;
  }
  Invalidate();
}

void TLbSpeedButton::SetGroupIndex(int value) {
  groupIndex_ = value;
  RepaintFace();
}

void TLbSpeedButton::SetLayout(TLbSpeedButtonLayout value) {
  looks_.Layout = value;
  RepaintFace();
}

void TLbSpeedButton::SetLightColor(TColor value) {
  looks_.LightColor = value;
  RepaintFace();
}

void TLbSpeedButton::SetNumGlyphs(int value) {
  looks_.GlyphCells = value;
  Invalidate();
}

void TLbSpeedButton::SetShadowColor(TColor value) {
  looks_.ShadowColor = value;
  RepaintFace();
}

void TLbSpeedButton::SetSlowDecease(bool value) {
  if (value) {
    if (!fadeThread_) fadeThread_ = std::make_unique<TLbButtonThread>([this] { FadeTick(); });
  } else if (fadeThread_) {
    fadeStep_ = 0;
    fadeThread_.reset();
  }
  Invalidate();
}

void TLbSpeedButton::SetStyle(TLbSpeedButtonStyle value) {
  if (value == bsModern && Application().Backend().ScreenColorDepth() <= 8) value = bsNormal;
  looks_.Style = value;
  Invalidate();
}

void TLbSpeedButton::SetTransparent(bool value) {
  looks_.Transparent = value;
  if (value)
    Invalidate();
  else
    Repaint();
}

void TLbSpeedButton::SetWordWrap(bool value) {
  looks_.WordWrap = value;
  RepaintFace();
}

void TLbSpeedButton::SetPopupMenu(TPopupMenu* menu) {
  popupMenu_ = TComponentRef<TPopupMenu>(menu);
  RepaintFace();
}

void TLbSpeedButton::ActionChange(TObject* sender, bool checkDefaults) {
  TCustomControl::ActionChange(sender, checkDefaults);
  auto* action = dynamic_cast<TAction*>(sender);
  if (!action || !looks_.Glyph.Empty() || !action->ActionList()) return;
  const TCustomImageList* images = action->ActionList()->Images();
  const int index = action->ImageIndex();
  if (!images || index < 0 || index >= images->Count()) return;
  TBitmap glyph(images->Width(), images->Height(), RGB(255, 0, 255));
  images->Draw(glyph, 0, 0, index, true);
  looks_.Glyph = std::move(glyph);
  looks_.GlyphCells = 1;
  Invalidate();
}

void TLbSpeedButton::Paint(TCanvas& canvas) {
  if (!Visible()) return;
  TLbPaintState state;
  state.Width = Width();
  state.Height = Height();
  state.Caption = Caption();
  state.Font = mouseInside_ && useHotTrackFont_ ? hotTrackFont_ : Font();
  state.Color = Color();
  state.Enabled = Enabled();
  state.Hot = mouseInside_;
  state.FadeStep = fadeStep_;
  state.HasMenu = popupMenu_.get() != nullptr;
  DrawButtonFace(canvas, looks_, state);
}

void TLbSpeedButton::Click() {
  if (TPopupMenu* menu = popupMenu_.get()) {
    const TPoint at = ClientToScreen({0, Height()});
    // An item's handler may free the button, as closing a page does.
    const TComponentRef<TLbSpeedButton> self(this);
    Application().Dispatch(this, [&] { menu->Popup(at.X, at.Y); });
    if (!self.get()) return;
  }
  TCustomControl::Click();
}

void TLbSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseDown(button, shift, x, y);
  if (button != TMouseButton::mbLeft || !Enabled()) return;
  if (groupIndex_ == 0 || !looks_.Down)
    SetDown(true);
  else if (allowAllUp_)
    SetDown(false);
}

void TLbSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TCustomControl::MouseUp(button, shift, x, y);
  if (groupIndex_ == 0) SetDown(false);
}

void TLbSpeedButton::DoubleClickPress(TMouseButton button, TShiftState shift, int x, int y) {
  // Quick clicking is repeated clicking: the second press is a press.
  if (button == TMouseButton::mbLeft)
    MouseDown(button, shift, x, y);
  else
    TCustomControl::DoubleClickPress(button, shift, x, y);
}

void TLbSpeedButton::MouseEnter() {
  if (!Reachable()) return;
  mouseInside_ = true;
  fadeStep_ = 8;
  // A fade still running would dim the face under the pointer.
  if (fadeThread_) fadeThread_->Suspend();
  RepaintFace();
  Fire(OnMouseEnter);
}

void TLbSpeedButton::MouseLeave() {
  mouseInside_ = false;
  if (fadeThread_) {
    if (fadeThread_->Suspended()) fadeThread_->Resume();
  } else {
    fadeStep_ = 0;
    RepaintFace();
  }
  if (Reachable()) Fire(OnMouseExit);
}

void TLbSpeedButton::FadeTick() {
  // A tick asked for just before the pointer came back finds the face hot
  // and leaves it so.
  if (destroying_ || mouseInside_) return;
  --fadeStep_;
  if (fadeStep_ <= 0) {
    if (fadeThread_ && !fadeThread_->Suspended()) fadeThread_->Suspend();
    fadeStep_ = 0;
  }
  RepaintFace();
}

bool TLbSpeedButton::DialogChar(char key) {
  if (!IsAccel(key, Caption()) || !Reachable()) return TCustomControl::DialogChar(key);
  DoDefaultAction();
  return true;
}

void TLbSpeedButton::DoDefaultAction() {
  // Shown pressed while the click runs; the group is not disturbed.
  const bool wasDown = looks_.Down;
  StoreDown(true);
  Update();
  Click();
  StoreDown(wasDown);
  Update();
}

void TLbSpeedButton::DescribeAccessible(TAccessibleInfo& info) const {
  info.Role = TAccessibleRole::PushButton;
  info.AccessKey = AccessKeyOf(Caption());
  info.DefaultAction = "Press";
  info.Pressed = looks_.Down;
}
