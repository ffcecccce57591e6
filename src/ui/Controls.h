#pragma once
// The control base: every control has a name, an owner that frees it, a
// parent that shows it, bounds, visibility, colour, font, caption and events.
// Windowed controls (TWinControl) have a window of their own through the
// backend's peer; graphic controls (TGraphicControl) are drawn by their
// parent and get their mouse input from it.

#include <memory>
#include <string>
#include <vector>

#include "ui/Accessibility.h"
#include "ui/Backend.h"
#include "ui/Classes.h"
#include "ui/Graphics.h"

class TAction;
class TWinControl;
class TForm;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };
enum TShiftStateBits : unsigned {
  ssShift = 1,
  ssAlt = 2,
  ssCtrl = 4,
  ssLeft = 8,
  ssRight = 16,
  ssMiddle = 32,
  ssDouble = 64,
};
using TShiftState = unsigned;
using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;

enum TControlStyleBits : unsigned {
  csCaptureMouse = 1,  // keeps the mouse from button down to button up
  csClickEvents = 2,   // a press and release inside makes a click
  csDoubleClicks = 4,  // a second quick press is a double-click, not a press
  csOpaque = 8,        // covers its whole rectangle when it paints
  csSetCaption = 16,
};

enum class TMouseAction { Down, Up, Move, DoubleClick };

class TControl : public TComponent {
 public:
  explicit TControl(TComponent* owner);
  ~TControl() override;

  virtual std::string ClassName() const { return "TControl"; }

  TWinControl* Parent() const { return parent_; }
  virtual void SetParent(TWinControl* parent);

  int Left() const { return left_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
  void SetTop(int v) { SetBounds(left_, v, width_, height_); }
  void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
  void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
  virtual void SetBounds(int left, int top, int width, int height);
  TRect BoundsRect() const { return {left_, top_, left_ + width_, top_ + height_}; }
  TRect ClientRect() const { return {0, 0, width_, height_}; }

  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible, and every parent up to a visible form too.
  virtual bool Showing() const;

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

  TColor Color() const { return color_; }
  // Setting a colour ends ParentColor.
  void SetColor(TColor color);
  // Texts, boxes and sheets take their parent's colour until given their own.
  bool ParentColor() const { return parentColor_; }
  void SetParentColor(bool value);

  const TFont& Font() const { return font_; }
  void SetFont(const TFont& font);
  bool ParentFont() const { return parentFont_; }
  void SetParentFont(bool value);

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& caption);
  // The same value as Caption; text controls call it their text.
  virtual std::string Text() const { return caption_; }
  void SetText(const std::string& text) { SetCaption(text); }

  unsigned ControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;

  // Marks the control for painting at the next chance.
  virtual void Invalidate();
  // Paints what is invalid now.
  virtual void Update();
  // Invalidate and Update together.
  void Repaint();

  // Draws the control in its own coordinates.
  virtual void Paint(TCanvas& canvas);

  TPoint ClientToScreen(TPoint point) const;
  // The form the control stands on, or null.
  TForm* ParentForm() const;

  // Notifications, called by the parent or the backend; each raises its event.
  virtual void Click();
  virtual void DblClick();
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseEnter() {}
  virtual void MouseLeave() {}
  // An accelerator key of the dialog; true when the control took it.
  virtual bool DialogChar(char key);
  // The left button was pressed twice quickly: a double-click, then a press
  // marked ssDouble; controls without csDoubleClicks see only the press.
  virtual void DoubleClickPress(TMouseButton button, TShiftState shift, int x, int y);

  // Whether key is the accelerator that "&" marks in text ("&&" is a plain "&").
  static bool IsAccel(char key, const std::string& text);

  // What assistive technology is told of the control now: named after its
  // label, or after its caption as shown, then described by its class.
  TAccessibleInfo AccessibleInfo() const;
  // Does what the description's default action says; the platform calls it
  // from its message loop, as it would a click.
  virtual void DoDefaultAction();
  // The control whose name is this one's for assistive technology: the
  // label of a field, or the page it stands alone on. Not owned; null once
  // freed, and then the control is named after its caption.
  TControl* LabelledBy() const { return labelledBy_.get(); }
  void SetLabelledBy(TControl* label) { labelledBy_ = TComponentRef<TControl>(label); }
  // An ornament, such as a moving word, that assistive technology is not
  // told of.
  bool AccessibleHidden = false;
  // What the class is, has and does, for AccessibleInfo; a graphic control
  // whose class says nothing is not told of.
  virtual void DescribeAccessible(TAccessibleInfo&) const {}

  // The linked action, or null; not owned. Linking makes the control take
  // the action's values at once, and again whenever the action changes.
  TAction* Action() const { return action_; }
  void SetAction(TAction* action);

 protected:
  // The linked action is new or has changed. With checkDefaults, only values
  // the control still has at their defaults are taken. The control takes the
  // action's caption.
  virtual void ActionChange(TObject* sender, bool checkDefaults);
  // A value the window mirrors has changed.
  virtual void Changed(TPeerChange what);
  virtual void ParentFontChanged();
  virtual void ParentColorChanged();
  // Raises an event through the application's one dispatch point.
  void Fire(const TNotifyEvent& event);

 private:
  friend class TWinControl;
  friend class TAction;
  TAction* action_ = nullptr;
  TComponentRef<TControl> labelledBy_;
  TWinControl* parent_ = nullptr;
  int left_ = 0;
  int top_ = 0;
  int width_ = 0;
  int height_ = 0;
  bool visible_ = true;
  bool enabled_ = true;
  TColor color_ = clBtnFace;
  bool parentColor_ = false;
  TFont font_;
  bool parentFont_ = true;
  std::string caption_;
};

// A control with a window of its own.
class TWinControl : public TControl {
 public:
  TWinControl(TComponent* owner, TControlKind kind);
  ~TWinControl() override;

  std::string ClassName() const override { return "TWinControl"; }
  TControlKind Kind() const { return kind_; }

  // Children in z-order, bottom first.
  const std::vector<TControl*>& Controls() const { return controls_; }
  int ControlCount() const { return static_cast<int>(controls_.size()); }

  void Invalidate() override;
  void Update() override;
  void InvalidateRect(const TRect& rect);

  // Gives the control the keyboard focus. While it or a window around it is
  // hidden (a page that has not slid in, a form not yet shown), the focus
  // waits and arrives as soon as all of them show. A disabled control, or
  // one in no form, is an error.
  void SetFocus();
  bool Focused() const;
  // True when the control can take the focus now: it and every window
  // around it are visible and enabled.
  bool CanFocus() const;
  // True when the focus is on the control or on one inside it, or waits to
  // go there.
  bool ContainsFocus() const;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  // Called by the backend when the keyboard focus arrives or leaves.
  virtual void DoEnter();
  virtual void DoExit();

  // Paints the window: itself, then its graphic children in z-order, each in
  // its own coordinates. The backends call it with a buffered canvas.
  void PaintWindow(TCanvas& canvas);
  // What shows where a control without csOpaque leaves its rectangle alone:
  // its parent's painting at its place, over the parent's own background
  // when the parent is not opaque either. Nothing for an opaque control. A
  // backend whose buffer starts empty paints it before PaintWindow.
  void PaintBackground(TCanvas& canvas);

  // Mouse input at a client position: goes to the topmost visible graphic
  // child under it, or the one holding the mouse, else to the window itself;
  // tracks which graphic child the pointer is over.
  void MouseInput(TMouseAction action, TMouseButton button, TShiftState shift, int x, int y);
  // The pointer has left the window.
  void MouseExitWindow();
  bool DialogChar(char key) override;

  // The child under a client position, graphic children only; null if none.
  TControl* GraphicControlAt(int x, int y) const;

  // A container by default.
  void DescribeAccessible(TAccessibleInfo& info) const override;
  // The visible children that assistive technology is told of, in reading
  // order: by their top edges, and on one line from left to right.
  std::vector<TControl*> AccessibleControls() const;

  TWindowPeer& Peer() const { return *peer_; }
  void* Handle() const { return peer_->Handle(); }

 protected:
  void Changed(TPeerChange what) override;
  void ParentFontChanged() override;
  void ParentColorChanged() override;

 private:
  friend class TControl;
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  TControl* Target(int x, int y) const;

  TControlKind kind_;
  std::unique_ptr<TWindowPeer> peer_;
  std::vector<TControl*> controls_;
  TControl* captured_ = nullptr;
  TControl* pressed_ = nullptr;
  TControl* hovered_ = nullptr;
  bool clickPending_ = false;
  bool mouseInside_ = false;
};

// A control drawn by its parent, with no window.
class TGraphicControl : public TControl {
 public:
  explicit TGraphicControl(TComponent* owner) : TControl(owner) {}
  std::string ClassName() const override { return "TGraphicControl"; }
};

// A windowed control of its own window class that paints itself.
class TCustomControl : public TWinControl {
 public:
  explicit TCustomControl(TComponent* owner) : TWinControl(owner, TControlKind::Custom) {}
  std::string ClassName() const override { return "TCustomControl"; }
};
