// The life of a control's window: made, placed, shown and hidden, given its
// text and font.
#include "ui/win32/Win32Peer.h"

#include "ui/win32/Win32Accessible.h"
#include "ui/win32/Win32Canvas.h"

#include <set>
#include <stdexcept>

std::string WindowText(HWND window) {
  const int length = ::GetWindowTextLengthA(window);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const int copied = ::GetWindowTextA(window, text.data(), length + 1);
  text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
  return text;
}

TWin32Peer::TWin32Peer(TWin32Backend& backend, TWinControl& control, TWindowClass windowClass)
    : backend_(backend), control_(control), class_(windowClass) {}

TWin32Peer::~TWin32Peer() {
  accessible_.reset();
  if (!window_) return;
  // Not another window's entry, should this one have gone with its parent.
  const auto entry = Peers().find(window_.get());
  if (entry != Peers().end() && entry->second == this) Peers().erase(entry);
  if (oldProc_) ::SetWindowLongPtrA(window_.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(oldProc_));
}

// A window is made when its control first shows, not when it is placed:
// the pages of the wizard are built at start-up, hidden, and making their
// hundreds of windows then would keep the first page waiting. Until it is
// made, the control holds all that the window is born with.
void TWin32Peer::Changed(TPeerChange what) {
  if (!window_) {
    if ((what == TPeerChange::Parent || what == TPeerChange::Visible) && control_.Showing()) Create();
    return;
  }
  switch (what) {
    case TPeerChange::Parent: Reparent(); break;
    case TPeerChange::Bounds: ApplyBounds(); break;
    case TPeerChange::Visible:
      // Its hidden children's windows first: it appears whole.
      if (control_.Showing()) CreateChildren();
      ApplyVisible();
      break;
    case TPeerChange::Enabled: ::EnableWindow(window_.get(), control_.Enabled()); break;
    case TPeerChange::Text: ApplyText(); break;
    case TPeerChange::Font: ApplyFont(); break;
    case TPeerChange::Color: InvalidateShowing(nullptr, TRUE); break;
    case TPeerChange::State: ApplyState(); break;
  }
  if (what == TPeerChange::Text || what == TPeerChange::Enabled || what == TPeerChange::State) Announce();
}

void TWin32Peer::Invalidate(const TRect& rect) {
  if (!window_) return;
  const TRect device = Scale().Device(rect);
  RECT r{device.Left, device.Top, device.Right, device.Bottom};
  InvalidateShowing(&r, OwnClass() ? FALSE : TRUE);
}

void TWin32Peer::InvalidateShowing(const RECT* rect, BOOL erase) {
  if (::IsWindowVisible(window_.get())) ::InvalidateRect(window_.get(), rect, erase);
}

void TWin32Peer::Update() {
  if (window_) ::UpdateWindow(window_.get());
}

void TWin32Peer::SetFocus() { ::SetFocus(EnsureHandle()); }

bool TWin32Peer::Focused() const { return window_ && ::GetFocus() == window_.get(); }

TPoint TWin32Peer::ClientOrigin() const {
  if (window_) {
    POINT p{0, 0};
    ::ClientToScreen(window_.get(), &p);
    return Scale().Layout(TPoint{p.x, p.y});
  }
  TPoint origin{control_.Left(), control_.Top()};
  if (control_.Parent()) {
    const TPoint parent = control_.Parent()->Peer().ClientOrigin();
    origin.X += parent.X;
    origin.Y += parent.Y;
  }
  return origin;
}

void* TWin32Peer::Handle() const {
  if (!window_ && (TopLevel() || control_.Parent())) const_cast<TWin32Peer*>(this)->Create();
  return window_.get();
}

HWND TWin32Peer::EnsureHandle() {
  if (!window_) Create();
  return window_.get();
}

// The windows of the children that show now and have none yet, and of
// theirs.
void TWin32Peer::CreateChildren() {
  for (TControl* child : control_.Controls()) {
    auto* win = dynamic_cast<TWinControl*>(child);
    if (!win || !win->Visible()) continue;
    auto& peer = static_cast<TWin32Peer&>(win->Peer());
    if (peer.window_)
      peer.CreateChildren();
    else
      peer.Create();
  }
}

HWND TWin32Peer::ParentWindow() {
  if (TopLevel()) return nullptr;
  if (TWinControl* parent = control_.Parent()) return static_cast<TWin32Peer&>(parent->Peer()).EnsureHandle();
  return backend_.ParkingWindow();
}

void TWin32Peer::Reparent() {
  ::SetParent(window_.get(), ParentWindow());
  if (control_.Showing()) CreateChildren();
  ApplyVisible();
}

void TWin32Peer::Create() {
  HWND parent = ParentWindow();
  if (window_) return;  // made with its parent's children
  const std::string ownClass = OwnClass() ? control_.ClassName() : std::string();
  if (OwnClass()) RegisterOwnClass(ownClass);
  // Born with its place, text and state: each change after creation is a
  // request to the window server on some systems, several for a move.
  DWORD style = class_.Style;
  if (!control_.Enabled()) style |= WS_DISABLED;
  if (!TopLevel() && ShownInParent()) style |= WS_VISIBLE;
  const RECT r = DeviceBounds(style, class_.ExStyle);
  HWND window = ::CreateWindowExA(class_.ExStyle, OwnClass() ? ownClass.c_str() : class_.Name,
                                  control_.Caption().c_str(), style, r.left, r.top, r.right - r.left,
                                  r.bottom - r.top, parent, nullptr, ::GetModuleHandleA(nullptr), nullptr);
  if (!window) throw std::runtime_error("Cannot create the window of " + control_.ClassName() + " " + control_.Name + ".");
  window_.reset(window);
  Peers()[window] = this;
  if (!OwnClass())
    oldProc_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWin32Peer::SubclassProc)));
  ApplyFont();
  ApplyState();
  const TAccessibleInfo info = control_.AccessibleInfo();
  told_ = {info.Name, info.Value, TWin32Accessible::StateOf(control_, info) & TWin32Accessible::kAnnouncedStates};
  if (control_.Showing()) CreateChildren();
  // A form shows, and so activates, once it is whole.
  if (TopLevel()) ApplyVisible();
}

void TWin32Peer::RegisterOwnClass(const std::string& name) {
  static std::set<std::string> registered;
  if (registered.count(name)) return;
  WNDCLASSA wc{};
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = &TWin32Peer::OwnProc;
  wc.hInstance = ::GetModuleHandleA(nullptr);
  wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
  wc.lpszClassName = name.c_str();
  if (!::RegisterClassA(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    throw std::runtime_error("Cannot register the window class " + name + ".");
  registered.insert(name);
}

// A child's edges are scaled where they stand in its parent, so that
// neighbours still meet.
RECT TWin32Peer::DeviceBounds(DWORD, DWORD) const {
  const TRect bounds = Scale().Device(control_.BoundsRect());
  return RECT{bounds.Left, bounds.Top, bounds.Right, bounds.Bottom};
}

void TWin32Peer::ApplyBounds() {
  const RECT r = DeviceBounds(static_cast<DWORD>(::GetWindowLongA(window_.get(), GWL_STYLE)),
                              static_cast<DWORD>(::GetWindowLongA(window_.get(), GWL_EXSTYLE)));
  ::SetWindowPos(window_.get(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

bool TWin32Peer::ShownInParent() const { return control_.Visible() && (TopLevel() || control_.Parent()); }

void TWin32Peer::ApplyVisible() {
  // A child shows without taking the activation from its form.
  ::ShowWindow(window_.get(), !ShownInParent() ? SW_HIDE : TopLevel() ? SW_SHOW : SW_SHOWNA);
}

void TWin32Peer::ApplyText() {
  if (WindowText(window_.get()) == control_.Caption()) return;  // no echo of typed text
  ::SetWindowTextA(window_.get(), control_.Caption().c_str());
}

void TWin32Peer::ApplyFont() {
  TFontHandle font = CreateFontHandle(control_.Font(), Scale());
  if (!OwnClass()) ::SendMessageA(window_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
  font_ = std::move(font);  // the old font goes once the window has let go of it
  InvalidateShowing(nullptr, TRUE);
}
