#include "widgets/LbSpeedButton.h"

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
  button->lightColor_ = lightColor;
  button->shadowColor_ = shadowColor;
  button->alignment_ = TAlignment::taCenter;
  return button;
}

TLbSpeedButton::~TLbSpeedButton() {
  // Ticks the worker has already asked for are still served while it is
  // joined; they find the button going and leave it alone.
  destroying_ = true;
  fadeThread_.reset();
}

void TLbSpeedButton::RepaintFace() {
  if (transparent_)
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
  alignment_ = value;
  RepaintFace();
}

void TLbSpeedButton::SetColorWhenDown(TColor value) {
  colorWhenDown_ = value;
  RepaintFace();
}

void TLbSpeedButton::SetColorStyle(TLbColorStyle value) {
  colorStyle_ = value;
  const std::optional<TLbColorStyleValues> preset = ApplyColorStyle(value);
  if (!preset) return;
  lightColor_ = preset->LightColor;
  shadowColor_ = preset->ShadowColor;
  colorWhenDown_ = preset->ColorWhenDown;
  hotTrackColor_ = preset->HotTrackColor;
  flat_ = preset->Flat;
  SetColor(preset->Color);
  TFont font = Font();
  font.Color = preset->FontColor;
  SetFont(font);
  // A preset names its look outright, whatever the screen.
  style_ = preset->Style;
  Repaint();
}

void TLbSpeedButton::StoreDown(bool value) {
  down_ = value;
  TCustomControl::Changed(TPeerChange::State);
  RepaintFace();
}

void TLbSpeedButton::ReleaseInGroup() {
  if (down_) StoreDown(false);
}

void TLbSpeedButton::SetDown(bool value) {
  if (value == down_) return;
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
  flat_ = value;
  RepaintFace();
}

void TLbSpeedButton::SetGlyph(const TBitmap* glyph) {
  if (glyph) {
    glyph_ = *glyph;
    numGlyphs_ = glyph_.Height() == 0 ? 0 : glyph_.Width() / glyph_.Height();
  } else {
    glyph_ = TBitmap();
    numGlyphs_ = 0;
  }
  Invalidate();
}

void TLbSpeedButton::SetGroupIndex(int value) {
  groupIndex_ = value;
  RepaintFace();
}

void TLbSpeedButton::SetLayout(TLbSpeedButtonLayout value) {
  layout_ = value;
  RepaintFace();
}

void TLbSpeedButton::SetLightColor(TColor value) {
  lightColor_ = value;
  RepaintFace();
}

void TLbSpeedButton::SetNumGlyphs(int value) {
  numGlyphs_ = value;
  Invalidate();
}

void TLbSpeedButton::SetShadowColor(TColor value) {
  shadowColor_ = value;
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
  style_ = value;
  Invalidate();
}

void TLbSpeedButton::SetTransparent(bool value) {
  transparent_ = value;
  if (value)
    Invalidate();
  else
    Repaint();
}

void TLbSpeedButton::SetWordWrap(bool value) {
  wordWrap_ = value;
  RepaintFace();
}

void TLbSpeedButton::SetPopupMenu(TPopupMenu* menu) {
  popupMenu_ = TComponentRef<TPopupMenu>(menu);
  RepaintFace();
}

void TLbSpeedButton::ActionChange(TObject* sender, bool checkDefaults) {
  TCustomControl::ActionChange(sender, checkDefaults);
  auto* action = dynamic_cast<TAction*>(sender);
  if (!action || !glyph_.Empty() || !action->ActionList()) return;
  const TCustomImageList* images = action->ActionList()->Images();
  const int index = action->ImageIndex();
  if (!images || index < 0 || index >= images->Count()) return;
  TBitmap glyph(images->Width(), images->Height(), RGB(255, 0, 255));
  images->Draw(glyph, 0, 0, index, true);
  glyph_ = std::move(glyph);
  numGlyphs_ = 1;
  Invalidate();
}

void TLbSpeedButton::Paint(TCanvas& canvas) {
  if (!Visible()) return;
  TLbButtonFace face;
  face.Width = Width();
  face.Height = Height();
  face.FadeStep = fadeStep_;
  face.GlyphCells = numGlyphs_;
  face.Glyph = &glyph_;
  face.Down = down_;
  face.Hot = mouseInside_;
  face.Transparent = transparent_;
  face.Enabled = Enabled();
  face.Flat = flat_;
  face.WordWrap = wordWrap_;
  face.HasMenu = popupMenu_.get() != nullptr;
  face.FaceKind = FaceKindOf(style_);
  face.Color = Color();
  face.ColorWhenDown = colorWhenDown_;
  face.HotTrackColor = hotTrackColor_;
  face.LightColor = lightColor_;
  face.ShadowColor = shadowColor_;
  face.Font = mouseInside_ && useHotTrackFont_ ? hotTrackFont_ : Font();
  face.Layout = layout_;
  face.Caption = Caption();
  face.Alignment = alignment_;
  DrawButtonFace(canvas, face);
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
  if (groupIndex_ == 0 || !down_)
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
  const bool wasDown = down_;
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
  info.Pressed = down_;
}
