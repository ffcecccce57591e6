#pragma once
// The window of a windowed control, as every kind has it: made when the
// control first shows, placed at the screen's scale, given its font and
// colours, its messages routed to the control. Each kind of control with
// state or notifications of its own has a peer of its own that adds them;
// the controls that paint themselves have the painted peer.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/Controls.h"
#include "ui/win32/Win32Backend.h"

// What a kind's window is made as.
struct TWindowClass {
  // A system class; null for a class of the control's own, named after it.
  const char* Name;
  // Without WS_CHILD, a top-level window.
  DWORD Style;
  DWORD ExStyle;
};

class TWin32Accessible;
// Lets the object go, disconnected from the window first.
struct TAccessibleRelease {
  void operator()(TWin32Accessible* object) const;
};

// The style every child window starts from.
constexpr DWORD kChildStyle = WS_CHILD | WS_CLIPSIBLINGS;

class TWin32Peer : public TWindowPeer {
 public:
  TWin32Peer(TWin32Backend& backend, TWinControl& control, TWindowClass windowClass);
  ~TWin32Peer() override;

  void Changed(TPeerChange what) override;
  void Invalidate(const TRect& rect) override;
  void Update() override;
  void SetFocus() override;
  bool Focused() const override;
  TPoint ClientOrigin() const override;
  // Asked for, the window is made at once, as a parent's is for its child.
  void* Handle() const override;

  TWinControl& Control() const { return control_; }
  // Keys typed into it are its text or its choice, not accelerators.
  virtual bool TakesTyping() const { return false; }
  void GraphicChildChanged(TControl& child, TPeerChange what) override;

  // The accessible object of the window, made when first asked for; null
  // while the window does not exist, and once it is gone.
  TWin32Accessible* Accessible();
  // Runs the default action of the control or of one of its graphic
  // children from the message loop; false when it cannot be queued.
  bool QueueDefaultAction(TControl& target) noexcept;

  // The peer of one of our windows; null for any other window.
  static TWin32Peer* Of(HWND window);

 protected:
  HWND Window() const { return window_.get(); }
  TDpiScale Scale() const { return backend_.Scale(); }
  bool TopLevel() const { return !(class_.Style & WS_CHILD); }
  // A window of the control's own class is painted by the control.
  bool OwnClass() const { return !class_.Name; }
  // A hidden window is painted whole when it shows: telling the system of
  // each change before then would only cost it (a server request a call on
  // some systems, hundreds of them while the pages are built).
  void InvalidateShowing(const RECT* rect, BOOL erase);
  // A brush of the colour, kept until another colour is asked for.
  HBRUSH BackgroundBrush(TColor color);

  // The kind's own values, told to its window.
  virtual void ApplyState() {}
  // A notification that the window sent to its parent.
  virtual void Command(WORD) {}
  // One of the window's owner-drawn items to draw.
  virtual void DrawItem(const DRAWITEMSTRUCT&) {}
  // The window's rectangle in device pixels, for a window of these styles.
  virtual RECT DeviceBounds(DWORD style, DWORD exStyle) const;
  virtual void ApplyBounds();
  // A message for the window; true when handled, with its result.
  virtual bool Message(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

 private:
  friend class TWin32Accessible;
  static std::map<HWND, TWin32Peer*>& Peers();
  static LRESULT CALLBACK OwnProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static void RegisterOwnClass(const std::string& name);
  // Notifications that a child window sends to its parent.
  static bool ChildMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

  HWND EnsureHandle();
  void Create();
  void CreateChildren();
  HWND ParentWindow();
  void Reparent();
  // Whether its own window is shown, whatever its parents': control_.Showing()
  // tells whether it is on the screen.
  bool ShownInParent() const;
  void ApplyVisible();
  void ApplyText();
  void ApplyFont();
  // Tells assistive technology what changed in the control's name, value
  // and state since it was last told.
  void Announce();
  void Notify(DWORD event, LONG child) const;
  void RunDefaultAction();
  // The window was destroyed, with its parent or by itself.
  void Destroyed();

  TWin32Backend& backend_;
  TWinControl& control_;
  TWindowClass class_;
  // The font and the brush the window uses are declared before it: members
  // go in reverse order, and a window must be destroyed before what it still
  // draws with is deleted.
  TFontHandle font_;
  TGdiObject background_;
  TColor backgroundColor_ = clNone;
  TWindowHandle window_;
  WNDPROC oldProc_ = nullptr;
  std::unique_ptr<TWin32Accessible, TAccessibleRelease> accessible_;
  // What assistive technology was last told of the control.
  struct TTold {
    std::string Name;
    std::string Value;
    LONG State = 0;
  } told_;
  // The controls whose default action waits for the message loop.
  std::vector<TComponentRef<TControl>> pendingActions_;
};

// The text a window holds.
std::string WindowText(HWND window);

// The peers of the kinds with state or notifications of their own, each
// made in a unit of its own.
std::unique_ptr<TWindowPeer> NewFormPeer(TWin32Backend& backend, TWinControl& form);
std::unique_ptr<TWindowPeer> NewButtonPeer(TWin32Backend& backend, TWinControl& button);
std::unique_ptr<TWindowPeer> NewCheckBoxPeer(TWin32Backend& backend, TWinControl& box);
std::unique_ptr<TWindowPeer> NewRadioButtonPeer(TWin32Backend& backend, TWinControl& radio);
std::unique_ptr<TWindowPeer> NewEditPeer(TWin32Backend& backend, TWinControl& edit);
std::unique_ptr<TWindowPeer> NewComboBoxPeer(TWin32Backend& backend, TWinControl& combo);
std::unique_ptr<TWindowPeer> NewListBoxPeer(TWin32Backend& backend, TWinControl& list);
std::unique_ptr<TWindowPeer> NewProgressBarPeer(TWin32Backend& backend, TWinControl& bar);
