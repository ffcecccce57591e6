#include "ui/Controls.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "ui/ActnList.h"
#include "ui/Application.h"
#include "ui/Forms.h"

// ---------------------------------------------------------------- TControl

TControl::TControl(TComponent* owner) : TComponent(owner) {}

TControl::~TControl() {
  if (action_) action_->RemoveClient(this);
  if (parent_) parent_->RemoveControl(this);
}

void TControl::SetAction(TAction* action) {
  if (action == action_) return;
  if (action_) action_->RemoveClient(this);
  action_ = action;
  if (action_) {
    action_->AddClient(this);
    ActionChange(action_, false);
  }
}

void TControl::ActionChange(TObject* sender, bool checkDefaults) {
  auto* action = dynamic_cast<TAction*>(sender);
  if (!action) return;
  if (!checkDefaults || caption_.empty()) SetCaption(action->Caption());
}

void TControl::SetParent(TWinControl* parent) {
  if (parent == parent_) return;
  for (TWinControl* p = parent; p; p = p->Parent())
    if (p == this) throw std::invalid_argument("A control cannot be placed inside itself.");
  if (parent_) {
    parent_->Invalidate();
    parent_->RemoveControl(this);
  }
  parent_ = parent;
  if (parent_) {
    parent_->InsertControl(this);
    if (parentFont_) font_ = parent_->Font();
    if (parentColor_) color_ = parent_->Color();
  }
  Changed(TPeerChange::Parent);
  ParentFontChanged();
  ParentColorChanged();
}

void TControl::SetBounds(int left, int top, int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (left == left_ && top == top_ && width == width_ && height == height_) return;
  if (parent_ && visible_) parent_->InvalidateRect(BoundsRect());
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  Changed(TPeerChange::Bounds);
}

void TControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  Changed(TPeerChange::Visible);
}

bool TControl::Showing() const { return visible_ && parent_ && parent_->Showing(); }

void TControl::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Changed(TPeerChange::Enabled);
}

void TControl::SetColor(TColor color) {
  parentColor_ = false;
  if (color == color_) return;
  color_ = color;
  Changed(TPeerChange::Color);
  ParentColorChanged();
}

void TControl::SetParentColor(bool value) {
  parentColor_ = value;
  if (value && parent_ && parent_->Color() != color_) {
    color_ = parent_->Color();
    Changed(TPeerChange::Color);
    ParentColorChanged();
  }
}

void TControl::SetFont(const TFont& font) {
  parentFont_ = false;
  if (font == font_) return;
  font_ = font;
  Changed(TPeerChange::Font);
  ParentFontChanged();
}

void TControl::SetParentFont(bool value) {
  parentFont_ = value;
  if (value && parent_ && !(parent_->Font() == font_)) {
    font_ = parent_->Font();
    Changed(TPeerChange::Font);
    ParentFontChanged();
  }
}

void TControl::SetCaption(const std::string& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  Changed(TPeerChange::Text);
}

void TControl::Changed(TPeerChange what) {
  // A graphic control lives on its parent's surface.
  if (!parent_) return;
  if (what == TPeerChange::Visible || what == TPeerChange::Bounds || visible_) Invalidate();
  if (what == TPeerChange::Visible && !visible_) parent_->InvalidateRect(BoundsRect());
  if (what == TPeerChange::Text || what == TPeerChange::Enabled) parent_->Peer().GraphicChildChanged(*this, what);
}

void TControl::ParentFontChanged() {}
void TControl::ParentColorChanged() {}

void TControl::Invalidate() {
  if (parent_) parent_->InvalidateRect(BoundsRect());
}

void TControl::Update() {
  if (parent_) parent_->Update();
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::Paint(TCanvas&) {}

TPoint TControl::ClientToScreen(TPoint point) const {
  if (auto* win = dynamic_cast<const TWinControl*>(this)) {
    const TPoint origin = win->Peer().ClientOrigin();
    return {origin.X + point.X, origin.Y + point.Y};
  }
  if (!parent_) return point;
  return parent_->ClientToScreen({point.X + left_, point.Y + top_});
}

TForm* TControl::ParentForm() const {
  const TControl* c = this;
  while (c->parent_) c = c->parent_;
  return dynamic_cast<TForm*>(const_cast<TControl*>(c));
}

void TControl::Fire(const TNotifyEvent& event) {
  if (!event) return;
  TNotifyEvent copy = event;  // the handler may replace the event it runs from
  Application().Dispatch(this, [&] { copy(this); });
}

void TControl::Click() {
  // A handler of the control's own comes before the linked action.
  if (OnClick)
    Fire(OnClick);
  else if (action_)
    action_->Execute();
}

void TControl::DblClick() { Fire(OnDblClick); }

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  if (!OnMouseDown) return;
  TMouseEvent copy = OnMouseDown;
  Application().Dispatch(this, [&] { copy(this, button, shift, x, y); });
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (!OnMouseUp) return;
  TMouseEvent copy = OnMouseUp;
  Application().Dispatch(this, [&] { copy(this, button, shift, x, y); });
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (!OnMouseMove) return;
  TMouseMoveEvent copy = OnMouseMove;
  Application().Dispatch(this, [&] { copy(this, shift, x, y); });
}

bool TControl::DialogChar(char) { return false; }

void TControl::DoubleClickPress(TMouseButton button, TShiftState shift, int x, int y) {
  if (ControlStyle & csDoubleClicks) {
    DblClick();
    MouseDown(button, shift | ssDouble, x, y);
  } else {
    MouseDown(button, shift, x, y);
  }
}

bool TControl::IsAccel(char key, const std::string& text) {
  const char accel = AccessKeyOf(text);
  return accel && std::toupper(static_cast<unsigned char>(accel)) == std::toupper(static_cast<unsigned char>(key));
}

TAccessibleInfo TControl::AccessibleInfo() const {
  TAccessibleInfo info;
  const TControl* label = labelledBy_.get();
  info.Name = label ? label->AccessibleInfo().Name : ShownText(caption_);
  DescribeAccessible(info);
  return info;
}

void TControl::DoDefaultAction() { Click(); }

// ------------------------------------------------------------- TWinControl

TWinControl::TWinControl(TComponent* owner, TControlKind kind)
    : TControl(owner), kind_(kind), peer_(Application().Backend().CreatePeer(*this, kind)) {}

TWinControl::~TWinControl() {
  // Owned controls go while this window still exists; children owned
  // elsewhere are set loose, so none points back at a freed parent.
  DestroyComponents();
  while (!controls_.empty()) controls_.back()->SetParent(nullptr);
  if (Parent()) Parent()->RemoveControl(this);
  parent_ = nullptr;
  peer_.reset();
}

void TWinControl::InsertControl(TControl* control) { controls_.push_back(control); }

void TWinControl::RemoveControl(TControl* control) {
  controls_.erase(std::remove(controls_.begin(), controls_.end(), control), controls_.end());
  if (captured_ == control) captured_ = nullptr;
  if (pressed_ == control) pressed_ = nullptr;
  if (hovered_ == control) hovered_ = nullptr;
}

void TWinControl::Changed(TPeerChange what) {
  peer_->Changed(what);
  // The focus may have waited for this window to show.
  if (what == TPeerChange::Visible && Visible())
    if (TForm* form = ParentForm()) form->GiveWaitingFocus();
}

void TWinControl::ParentFontChanged() {
  for (TControl* c : controls_)
    if (c->parentFont_ && !(c->font_ == Font())) {
      c->font_ = Font();
      c->Changed(TPeerChange::Font);
      c->ParentFontChanged();
    }
}

void TWinControl::ParentColorChanged() {
  for (TControl* c : controls_)
    if (c->parentColor_ && c->color_ != Color()) {
      c->color_ = Color();
      c->Changed(TPeerChange::Color);
      c->ParentColorChanged();
    }
}

void TWinControl::Invalidate() { peer_->Invalidate(ClientRect()); }

void TWinControl::InvalidateRect(const TRect& rect) { peer_->Invalidate(rect); }

void TWinControl::Update() { peer_->Update(); }

void TWinControl::SetFocus() {
  TForm* form = ParentForm();
  for (const TControl* c = this; c; c = c->Parent())
    if (!c->Enabled()) form = nullptr;
  if (!form) throw std::logic_error("Cannot focus a disabled window or one outside a form.");
  form->FocusControl(*this);
}

bool TWinControl::Focused() const { return peer_->Focused(); }

bool TWinControl::CanFocus() const {
  for (const TControl* c = this; c; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return ParentForm() != nullptr;
}

bool TWinControl::ContainsFocus() const {
  if (Focused()) return true;
  const TForm* form = ParentForm();
  for (const TControl* c = form ? form->WaitingFocus() : nullptr; c; c = c->Parent())
    if (c == this) return true;
  for (TControl* c : controls_)
    if (auto* win = dynamic_cast<TWinControl*>(c); win && win->ContainsFocus()) return true;
  return false;
}

void TWinControl::DoEnter() { Fire(OnEnter); }
void TWinControl::DoExit() { Fire(OnExit); }

namespace {

// Lets a graphic child paint in its own coordinates on its parent's canvas.
class TOffsetCanvas : public TCanvas {
 public:
  TOffsetCanvas(TCanvas& inner, TPoint offset) : inner_(inner), dx_(offset.X), dy_(offset.Y) {
    Brush = inner.Brush;
    Pen = inner.Pen;
    Font = inner.Font;
  }
  void FillRect(const TRect& r) override { Sync().FillRect(Move(r)); }
  void MoveTo(int x, int y) override { Sync().MoveTo(x + dx_, y + dy_); }
  void LineTo(int x, int y) override { Sync().LineTo(x + dx_, y + dy_); }
  void Rectangle(const TRect& r) override { Sync().Rectangle(Move(r)); }
  void RoundRect(const TRect& r, int w, int h) override { Sync().RoundRect(Move(r), w, h); }
  TPoint TextExtent(const std::string& text) override { return Sync().TextExtent(text); }
  int DrawText(const std::string& text, TRect& rect, unsigned format) override {
    TRect moved = Move(rect);
    const int height = Sync().DrawText(text, moved, format);
    rect = {moved.Left - dx_, moved.Top - dy_, moved.Right - dx_, moved.Bottom - dy_};
    return height;
  }
  void Draw(int x, int y, const TBitmap& b) override { Sync().Draw(x + dx_, y + dy_, b); }
  void DrawTransparent(int x, int y, const TBitmap& b, TColor c) override {
    Sync().DrawTransparent(x + dx_, y + dy_, b, c);
  }
  void StretchDraw(const TRect& r, const TBitmap& b) override { Sync().StretchDraw(Move(r), b); }

 private:
  TCanvas& Sync() {
    inner_.Brush = Brush;
    inner_.Pen = Pen;
    inner_.Font = Font;
    return inner_;
  }
  TRect Move(const TRect& r) const { return {r.Left + dx_, r.Top + dy_, r.Right + dx_, r.Bottom + dy_}; }

  TCanvas& inner_;
  int dx_;
  int dy_;
};

}  // namespace

void TWinControl::PaintWindow(TCanvas& canvas) {
  canvas.Font = Font();
  Paint(canvas);
  // Copied: a paint handler may add or remove controls.
  const std::vector<TControl*> children = controls_;
  for (TControl* child : children) {
    if (dynamic_cast<TWinControl*>(child) || !child->Visible()) continue;
    TOffsetCanvas sub(canvas, {child->Left(), child->Top()});
    sub.Font = child->Font();
    child->Paint(sub);
  }
}

void TWinControl::PaintBackground(TCanvas& canvas) {
  TWinControl* parent = Parent();
  if ((ControlStyle & csOpaque) || !parent) return;
  // The control's own painting starts from the canvas as it was given.
  const TBrush brush = canvas.Brush;
  const TPen pen = canvas.Pen;
  const TFont font = canvas.Font;
  TOffsetCanvas behind(canvas, {-Left(), -Top()});
  parent->PaintBackground(behind);
  parent->PaintWindow(behind);
  canvas.Brush = brush;
  canvas.Pen = pen;
  canvas.Font = font;
}

TControl* TWinControl::GraphicControlAt(int x, int y) const {
  for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
    TControl* c = *it;
    if (dynamic_cast<TWinControl*>(c) || !c->Visible()) continue;
    if (x >= c->Left() && x < c->Left() + c->Width() && y >= c->Top() && y < c->Top() + c->Height()) return c;
  }
  return nullptr;
}

TControl* TWinControl::Target(int x, int y) const {
  if (captured_) return captured_;
  TControl* c = GraphicControlAt(x, y);
  if (c && c->Enabled()) return c;
  return const_cast<TWinControl*>(this);
}

void TWinControl::MouseInput(TMouseAction action, TMouseButton button, TShiftState shift, int x, int y) {
  if (!mouseInside_) {
    mouseInside_ = true;
    MouseEnter();
  }
  TControl* under = GraphicControlAt(x, y);
  if (under != hovered_ && !captured_) {
    TControl* left = hovered_;
    hovered_ = under;
    if (left) left->MouseLeave();
    if (under) under->MouseEnter();
  }
  TControl* target = Target(x, y);
  const int cx = target == this ? x : x - target->Left();
  const int cy = target == this ? y : y - target->Top();
  switch (action) {
    case TMouseAction::Down:
    case TMouseAction::DoubleClick:
      if (button == TMouseButton::mbLeft) {
        if (target->ControlStyle & csCaptureMouse) captured_ = target;
        pressed_ = target;
        clickPending_ = (target->ControlStyle & csClickEvents) != 0;
      }
      if (action == TMouseAction::Down)
        target->MouseDown(button, shift, cx, cy);
      else
        target->DoubleClickPress(button, shift, cx, cy);
      break;
    case TMouseAction::Up:
      if (button == TMouseButton::mbLeft) {
        captured_ = nullptr;
        const bool inside = cx >= 0 && cy >= 0 && cx < target->Width() && cy < target->Height();
        // A click is a press and a release on the same control.
        const bool click = clickPending_ && inside && target == pressed_;
        clickPending_ = false;
        pressed_ = nullptr;
        if (click) target->Click();
      }
      target->MouseUp(button, shift, cx, cy);
      if (!captured_ && under != hovered_) {
        TControl* left = hovered_;
        hovered_ = under;
        if (left) left->MouseLeave();
        if (under) under->MouseEnter();
      }
      break;
    case TMouseAction::Move:
      target->MouseMove(shift, cx, cy);
      break;
  }
}

void TWinControl::MouseExitWindow() {
  // A graphic child pressed and held keeps the mouse until the release.
  if (captured_ && captured_ != this) return;
  if (hovered_) {
    TControl* left = hovered_;
    hovered_ = nullptr;
    left->MouseLeave();
  }
  if (mouseInside_) {
    mouseInside_ = false;
    MouseLeave();
  }
}

void TWinControl::DescribeAccessible(TAccessibleInfo& info) const { info.Role = TAccessibleRole::Pane; }

std::vector<TControl*> TWinControl::AccessibleControls() const {
  std::vector<TControl*> told;
  for (TControl* c : controls_) {
    if (!c->Visible() || c->AccessibleHidden || c->AccessibleInfo().Role == TAccessibleRole::None) continue;
    // Few enough to insert in order; the z-order decides between equals.
    auto at = told.end();
    while (at != told.begin() && ((*(at - 1))->Top() > c->Top() ||
                                   ((*(at - 1))->Top() == c->Top() && (*(at - 1))->Left() > c->Left())))
      --at;
    told.insert(at, c);
  }
  return told;
}

bool TWinControl::DialogChar(char key) {
  const std::vector<TControl*> children = controls_;
  for (TControl* child : children)
    if (child->Visible() && child->DialogChar(key)) return true;
  return false;
}
