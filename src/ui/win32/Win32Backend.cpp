// The control library's headers come before the platform's: its colour
// macros agree with our helpers of the same names.
#include "ui/Application.h"
#include "ui/Controls.h"
#include "ui/ExtCtrls.h"
#include "ui/FileCtrl.h"
#include "ui/Forms.h"
#include "ui/StdCtrls.h"
#include "ui/win32/Win32Backend.h"
#include "ui/win32/Win32Canvas.h"

#include <commctrl.h>
#include <uxtheme.h>
#include <vsstyle.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <stdexcept>

class TWin32Peer;

namespace {

constexpr UINT kWakeMessage = WM_APP + 1;
const char kUtilityClass[] = "FxUtilityWindow";
const char kParkingClass[] = "FxParkingWindow";

COLORREF Ref(TColor color) { return static_cast<COLORREF>(ColorToRGB(color) & 0xFFFFFF); }

TColor SystemColor(int index) {
  const COLORREF c = ::GetSysColor(index);
  return RGB(GetRValue(c), GetGValue(c), GetBValue(c));
}

std::string WindowText(HWND window) {
  const int length = ::GetWindowTextLengthA(window);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const int copied = ::GetWindowTextA(window, text.data(), length + 1);
  text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
  return text;
}

TShiftState ShiftOf(WPARAM keys) {
  TShiftState shift = 0;
  if (keys & MK_SHIFT) shift |= ssShift;
  if (keys & MK_CONTROL) shift |= ssCtrl;
  if (keys & MK_LBUTTON) shift |= ssLeft;
  if (keys & MK_RBUTTON) shift |= ssRight;
  if (keys & MK_MBUTTON) shift |= ssMiddle;
  if (::GetKeyState(VK_MENU) < 0) shift |= ssAlt;
  return shift;
}

struct TDcOwner {
  TMemoryDc Dc;
};

class TMeasureCanvas : private TDcOwner, public TWin32Canvas {
 public:
  explicit TMeasureCanvas(TDpiScale scale)
      : TDcOwner{TMemoryDc(::CreateCompatibleDC(nullptr))}, TWin32Canvas(Dc.get(), scale) {
    if (!Dc) throw std::runtime_error("Cannot make a device context for measuring text.");
  }
};

// The system DPI: the screen's own for a program that declares itself aware
// of it, 96 for one that the system stretches.
int ScreenDpi() {
  TWindowDc screen(nullptr);
  return ::GetDeviceCaps(screen.get(), LOGPIXELSY);
}

// The peer of each of our windows. A window property would do the same, but
// some systems ask their server for a property at every message.
std::map<HWND, TWin32Peer*>& Peers() {
  static std::map<HWND, TWin32Peer*> peers;
  return peers;
}

TWin32Peer* PeerOf(HWND window) {
  const auto found = Peers().find(window);
  return found == Peers().end() ? nullptr : found->second;
}

}  // namespace

// ---------------------------------------------------------------- the peer

class TWin32Peer : public TWindowPeer {
 public:
  TWin32Peer(TWin32Backend& backend, TWinControl& control, TControlKind kind)
      : backend_(backend), control_(control), kind_(kind) {}

  ~TWin32Peer() override {
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
  void Changed(TPeerChange what) override {
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
  }

  void Invalidate(const TRect& rect) override {
    if (!window_) return;
    const TRect device = Scale().Device(rect);
    RECT r{device.Left, device.Top, device.Right, device.Bottom};
    InvalidateShowing(&r, Painted() ? FALSE : TRUE);
  }

  // A hidden window is painted whole when it shows: telling the system of
  // each change before then would only cost it (a server request a call on
  // some systems, hundreds of them while the pages are built).
  void InvalidateShowing(const RECT* rect, BOOL erase) {
    if (::IsWindowVisible(window_.get())) ::InvalidateRect(window_.get(), rect, erase);
  }

  void Update() override {
    if (window_) ::UpdateWindow(window_.get());
  }

  void SetFocus() override { ::SetFocus(EnsureHandle()); }

  bool Focused() const override { return window_ && ::GetFocus() == window_.get(); }

  TPoint ClientOrigin() const override {
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

  // Asked for, the window is made at once, as a parent's is for its child.
  void* Handle() const override {
    if (!window_ && (kind_ == TControlKind::Form || control_.Parent())) const_cast<TWin32Peer*>(this)->Create();
    return window_.get();
  }

  HWND EnsureHandle() {
    if (!window_) Create();
    return window_.get();
  }

  // The windows of the children that show now and have none yet, and of
  // theirs.
  void CreateChildren() {
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

  TWinControl& Control() const { return control_; }
  TControlKind Kind() const { return kind_; }

  static LRESULT CALLBACK OwnProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TWin32Peer* peer = PeerOf(window);
    if (!peer) return ::DefWindowProcA(window, message, wParam, lParam);
    LRESULT result = 0;
    bool handled = false;
    Application().Dispatch(&peer->control_, [&] { handled = peer->Handle(message, wParam, lParam, result); });
    if (message == WM_NCDESTROY) Peers().erase(window);  // destroyed with its parent
    return handled ? result : ::DefWindowProcA(window, message, wParam, lParam);
  }

  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TWin32Peer* peer = PeerOf(window);
    if (!peer) return ::DefWindowProcA(window, message, wParam, lParam);
    const WNDPROC old = peer->oldProc_;
    LRESULT result = 0;
    bool handled = false;
    Application().Dispatch(&peer->control_, [&] { handled = peer->Handle(message, wParam, lParam, result); });
    if (message == WM_NCDESTROY) Peers().erase(window);
    return handled ? result : ::CallWindowProcA(old, window, message, wParam, lParam);
  }

 private:
  bool Painted() const { return kind_ == TControlKind::Form || kind_ == TControlKind::Custom; }
  TDpiScale Scale() const { return backend_.Scale(); }

  HWND ParentWindow() {
    if (kind_ == TControlKind::Form) return nullptr;
    if (TWinControl* parent = control_.Parent())
      return static_cast<TWin32Peer&>(parent->Peer()).EnsureHandle();
    return backend_.ParkingWindow();
  }

  void Reparent() {
    ::SetParent(window_.get(), ParentWindow());
    if (control_.Showing()) CreateChildren();
    ApplyVisible();
  }

  void Create() {
    HWND parent = ParentWindow();
    if (window_) return;  // made with its parent's children
    const char* windowClass = nullptr;
    DWORD style = kind_ == TControlKind::Form ? WS_OVERLAPPED | WS_CAPTION | WS_CLIPCHILDREN
                                              : WS_CHILD | WS_CLIPSIBLINGS;
    DWORD exStyle = 0;
    std::string ownClass;
    switch (kind_) {
      case TControlKind::Form:
        // Tab moves through the controls of nested panels too.
        exStyle = WS_EX_DLGMODALFRAME | WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;
        ownClass = control_.ClassName();
        break;
      case TControlKind::Custom:
        style |= WS_CLIPCHILDREN;
        exStyle |= WS_EX_CONTROLPARENT;
        ownClass = control_.ClassName();
        break;
      case TControlKind::Button: windowClass = "BUTTON"; style |= BS_PUSHBUTTON | WS_TABSTOP; break;
      case TControlKind::CheckBox: windowClass = "BUTTON"; style |= BS_CHECKBOX | WS_TABSTOP; break;
      case TControlKind::RadioButton: windowClass = "BUTTON"; style |= BS_RADIOBUTTON | WS_TABSTOP; break;
      case TControlKind::Edit:
        windowClass = "EDIT";
        style |= ES_AUTOHSCROLL | WS_TABSTOP;
        exStyle |= WS_EX_CLIENTEDGE;
        break;
      case TControlKind::ComboBox: windowClass = "COMBOBOX"; style |= CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP; break;
      case TControlKind::ListBox:
        windowClass = "LISTBOX";
        style |= LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP;
        exStyle |= WS_EX_CLIENTEDGE;
        break;
      case TControlKind::ProgressBar: windowClass = PROGRESS_CLASSA; style |= PBS_SMOOTH; break;
      case TControlKind::StaticText: windowClass = "STATIC"; style |= SS_LEFT; break;
    }
    if (!ownClass.empty()) {
      RegisterOwnClass(ownClass);
      windowClass = ownClass.c_str();
    }
    // Born with its place, text and state: each change after creation is a
    // request to the window server on some systems, several for a move.
    if (!control_.Enabled()) style |= WS_DISABLED;
    if (kind_ != TControlKind::Form && ShownInParent()) style |= WS_VISIBLE;
    const RECT r = DeviceBounds(style, exStyle);
    HWND window = ::CreateWindowExA(exStyle, windowClass, control_.Caption().c_str(), style, r.left, r.top,
                                    r.right - r.left, r.bottom - r.top, parent, nullptr,
                                    ::GetModuleHandleA(nullptr), nullptr);
    if (!window) throw std::runtime_error("Cannot create the window of " + control_.ClassName() + " " + control_.Name + ".");
    window_.reset(window);
    Peers()[window] = this;
    if (ownClass.empty())
      oldProc_ = reinterpret_cast<WNDPROC>(
          ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWin32Peer::SubclassProc)));
    ApplyFont();
    ApplyState();
    if (control_.Showing()) CreateChildren();
    // A form shows, and so activates, once it is whole.
    if (kind_ == TControlKind::Form) ApplyVisible();
  }

  static void RegisterOwnClass(const std::string& name) {
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

  // The window's rectangle in device pixels, for a window of these styles.
  RECT DeviceBounds(DWORD style, DWORD exStyle) const {
    // A child's edges are scaled where they stand in its parent, so that
    // neighbours still meet; a form has no neighbours and keeps its size.
    const TDpiScale scale = Scale();
    const TRect bounds = scale.Device(control_.BoundsRect());
    int width = kind_ == TControlKind::Form ? scale.Device(control_.Width()) : bounds.Width();
    int height = kind_ == TControlKind::Form ? scale.Device(control_.Height()) : bounds.Height();
    if (kind_ == TControlKind::Form) {
      // A form's width and height are those of its client area.
      RECT r{0, 0, width, height};
      ::AdjustWindowRectEx(&r, style, FALSE, exStyle);
      width = r.right - r.left;
      height = r.bottom - r.top;
    } else if (kind_ == TControlKind::ComboBox) {
      height += scale.Device(200);  // room for the dropped-down list
    }
    return RECT{bounds.Left, bounds.Top, bounds.Left + width, bounds.Top + height};
  }

  void ApplyBounds() {
    const RECT r = DeviceBounds(static_cast<DWORD>(::GetWindowLongA(window_.get(), GWL_STYLE)),
                                static_cast<DWORD>(::GetWindowLongA(window_.get(), GWL_EXSTYLE)));
    ::SetWindowPos(window_.get(), nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    // At its new width the bar fills to the exact position again.
    if (auto* bar = dynamic_cast<TProgressBar*>(&control_)) {
      barWidth_ = -1;
      ApplyProgress(*bar, true);
    }
  }

  // Whether its own window is shown, whatever its parents': control_.Showing()
  // tells whether it is on the screen.
  bool ShownInParent() const { return control_.Visible() && (kind_ == TControlKind::Form || control_.Parent()); }

  void ApplyVisible() {
    if (kind_ == TControlKind::Form)
      ::ShowWindow(window_.get(), ShownInParent() ? SW_SHOW : SW_HIDE);
    else
      ::ShowWindow(window_.get(), ShownInParent() ? SW_SHOWNA : SW_HIDE);
  }

  void ApplyText() {
    if (WindowText(window_.get()) == control_.Caption()) return;  // no echo of typed text
    ::SetWindowTextA(window_.get(), control_.Caption().c_str());
  }

  void ApplyFont() {
    TFontHandle font = CreateFontHandle(control_.Font(), Scale());
    if (!Painted()) ::SendMessageA(window_.get(), WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    font_ = std::move(font);  // the old font goes once the window has let go of it
    InvalidateShowing(nullptr, TRUE);
  }

  void ApplyState() {
    HWND w = window_.get();
    if (auto* check = dynamic_cast<TCheckBox*>(&control_)) {
      ::SendMessageA(w, BM_SETCHECK, check->Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
    } else if (auto* radio = dynamic_cast<TRadioButton*>(&control_)) {
      ::SendMessageA(w, BM_SETCHECK, radio->Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
    } else if (auto* combo = dynamic_cast<TComboBox*>(&control_)) {
      if (combo->Items() != comboItems_) {
        comboItems_ = combo->Items();
        ::SendMessageA(w, CB_RESETCONTENT, 0, 0);
        for (const std::string& item : comboItems_) ::SendMessageA(w, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
      }
      ::SendMessageA(w, CB_SETCURSEL, static_cast<WPARAM>(combo->ItemIndex()), 0);
    } else if (auto* list = dynamic_cast<TDirectoryListBox*>(&control_)) {
      ::SendMessageA(w, WM_SETREDRAW, FALSE, 0);
      ::SendMessageA(w, LB_RESETCONTENT, 0, 0);
      ::SendMessageA(w, LB_SETITEMHEIGHT, 0, Scale().Device(list->ItemHeight));
      for (const TDirectoryItem& item : list->Items())
        ::SendMessageA(w, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.Caption.c_str()));
      ::SendMessageA(w, LB_SETCURSEL, static_cast<WPARAM>(list->SelectedIndex()), 0);
      ::SendMessageA(w, WM_SETREDRAW, TRUE, 0);
      ::InvalidateRect(w, nullptr, TRUE);
    } else if (auto* bar = dynamic_cast<TProgressBar*>(&control_)) {
      ApplyProgress(*bar, false);
    } else if (auto* form = dynamic_cast<TForm*>(&control_)) {
      LONG ex = ::GetWindowLongA(w, GWL_EXSTYLE);
      if (form->AlphaBlend()) {
        ::SetWindowLongA(w, GWL_EXSTYLE, ex | WS_EX_LAYERED);
        ::SetLayeredWindowAttributes(w, 0, form->AlphaBlendValue(), LWA_ALPHA);
      } else if (ex & WS_EX_LAYERED) {
        ::SetWindowLongA(w, GWL_EXSTYLE, ex & ~WS_EX_LAYERED);
        ::RedrawWindow(w, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
      }
    }
  }

  // The native bar repaints at every new position, a millisecond or two
  // under some hosts, and one install moves it thousands of times, faster
  // than any screen shows. So it hears of a position only when its filled
  // part changes width on the screen, and then at most once a screen frame;
  // a position held back is told when the frame is over. A new range and
  // the end are told at once. The control keeps every position for those
  // who read it.
  void ApplyProgress(const TProgressBar& bar, bool always) {
    HWND w = window_.get();
    if (bar.Min() != sentMin_ || bar.Max() != sentMax_) {
      ::SendMessageA(w, PBM_SETRANGE32, static_cast<WPARAM>(bar.Min()), bar.Max());
      sentMin_ = bar.Min();
      sentMax_ = bar.Max();
      always = true;
    }
    const bool urgent = always || bar.Position() == bar.Max();
    if (!urgent && Filled(bar, bar.Position()) == Filled(bar, sentPosition_)) return;
    const DWORD now = ::GetTickCount();
    if (!urgent && now - sentAt_ < kFrameMilliseconds) {
      // Told when the frame is over; without a timer, at once.
      if (!frameTimer_) frameTimer_ = ::SetTimer(w, kFrameTimer, kFrameMilliseconds, nullptr) != 0;
      if (frameTimer_) return;
    }
    ::SendMessageA(w, PBM_SETPOS, static_cast<WPARAM>(bar.Position()), 0);
    sentPosition_ = bar.Position();
    sentAt_ = now;
    if (frameTimer_) {
      ::KillTimer(w, kFrameTimer);
      frameTimer_ = false;
    }
  }

  // Pixels of the bar filled at a position. The bar fills its client area
  // inside a one-pixel frame, or inside the bar part's margins of a visual
  // style. That width is measured once per size and style: asking for the
  // style is a round trip to the window server under some hosts.
  int Filled(const TProgressBar& bar, int position) {
    if (bar.Max() == bar.Min()) return 0;
    if (barWidth_ < 0) {
      RECT area;
      ::GetClientRect(window_.get(), &area);
      if (!StyledBarArea(area)) ::InflateRect(&area, -1, -1);
      barWidth_ = std::max(0, static_cast<int>(area.right - area.left));
    }
    return ::MulDiv(position - bar.Min(), barWidth_, bar.Max() - bar.Min());
  }

  // The area inside the bar part's margins when the bar is drawn in a visual
  // style. The style library is only looked up, never loaded: it is there
  // when the common controls draw in a style, and a program that imported
  // it would take one planted beside it.
  bool StyledBarArea(RECT& area) const {
    HMODULE styles = ::GetModuleHandleA("uxtheme.dll");
    if (!styles) return false;
    using TGetWindowTheme = HTHEME(WINAPI*)(HWND);
    using TGetContentRect = HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, RECT*);
    const auto windowTheme = reinterpret_cast<TGetWindowTheme>(
        reinterpret_cast<void*>(::GetProcAddress(styles, "GetWindowTheme")));
    const auto contentRect = reinterpret_cast<TGetContentRect>(
        reinterpret_cast<void*>(::GetProcAddress(styles, "GetThemeBackgroundContentRect")));
    HTHEME theme = windowTheme && contentRect ? windowTheme(window_.get()) : nullptr;
    return theme && SUCCEEDED(contentRect(theme, nullptr, PP_BAR, 0, &area, &area));
  }

  HBRUSH BackgroundBrush(TColor color) {
    if (!background_ || backgroundColor_ != ColorToRGB(color)) {
      backgroundColor_ = ColorToRGB(color);
      background_.reset(::CreateSolidBrush(Ref(color)));
    }
    return static_cast<HBRUSH>(background_.get());
  }

  void Paint() {
    TPaintScope scope(window_.get());
    RECT client;
    ::GetClientRect(window_.get(), &client);
    if (client.right <= 0 || client.bottom <= 0) return;
    // Painted into a buffer and copied once: graphic controls over a
    // picture never show a half-drawn state. Only the area to repaint
    // reaches the screen, so the buffer covers only it and only it is
    // drawn: a label's new text costs its own rectangle, not the whole page.
    const RECT& area = scope.Area();
    if (area.right <= area.left || area.bottom <= area.top) return;
    TMemoryDc buffer(::CreateCompatibleDC(scope.Dc()));
    TGdiObject bitmap(::CreateCompatibleBitmap(scope.Dc(), area.right - area.left, area.bottom - area.top));
    if (!buffer || !bitmap) throw std::runtime_error("Out of drawing resources.");
    TSelection use(buffer.get(), bitmap.get());
    ::SetViewportOrgEx(buffer.get(), -area.left, -area.top, nullptr);
    ::IntersectClipRect(buffer.get(), area.left, area.top, area.right, area.bottom);
    TWin32Canvas canvas(buffer.get(), Scale());
    // A new bitmap holds no background: where the control leaves it alone
    // it would show black. Scaled, the window's size and its painting may
    // part by a pixel at the far edges, which then take the control's colour.
    if (!Scale().Identity()) ::FillRect(buffer.get(), &client, BackgroundBrush(control_.Color()));
    control_.PaintBackground(canvas);
    control_.PaintWindow(canvas);
    ::BitBlt(scope.Dc(), area.left, area.top, area.right - area.left, area.bottom - area.top, buffer.get(), area.left,
             area.top, SRCCOPY);
  }

  void Mouse(TMouseAction action, TMouseButton button, WPARAM wParam, LPARAM lParam) {
    auto& target = static_cast<TWinControl&>(control_);
    if (!tracking_) {
      TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, window_.get(), 0};
      tracking_ = ::TrackMouseEvent(&track) != FALSE;
    }
    if (action == TMouseAction::Down || action == TMouseAction::DoubleClick) ::SetCapture(window_.get());
    if (action == TMouseAction::Up && ::GetCapture() == window_.get()) ::ReleaseCapture();
    target.MouseInput(action, button, ShiftOf(wParam), Scale().Layout(GET_X_LPARAM(lParam)),
                      Scale().Layout(GET_Y_LPARAM(lParam)));
  }

  void DrawListItem(const DRAWITEMSTRUCT& item) {
    auto* list = dynamic_cast<TDirectoryListBox*>(&control_);
    if (!list || item.itemID == static_cast<UINT>(-1) || item.itemID >= list->Items().size()) return;
    const TDirectoryItem& entry = list->Items()[item.itemID];
    // The item is drawn in layout pixels from its own top-left corner.
    const TDpiScale scale = Scale();
    POINT origin{};
    ::OffsetViewportOrgEx(item.hDC, item.rcItem.left, item.rcItem.top, &origin);
    TWin32Canvas canvas(item.hDC, scale);
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const TRect r{0, 0, scale.LayoutLength(item.rcItem.right - item.rcItem.left),
                  scale.LayoutLength(item.rcItem.bottom - item.rcItem.top)};
    canvas.Brush.Color = selected ? (clSystemColor | COLOR_HIGHLIGHT) : control_.Color();
    canvas.FillRect(r);
    const int x = r.Left + 2 + entry.Level * 8;
    // A small folder, open for the current folder and the ones above it.
    canvas.Brush.Color = entry.Open ? RGB(255, 224, 128) : RGB(240, 200, 80);
    canvas.Pen.Color = RGB(128, 96, 0);
    canvas.Rectangle({x, r.Top + 4, x + 14, r.Top + 14});
    canvas.Rectangle({x, r.Top + 2, x + 6, r.Top + 5});
    canvas.Font = control_.Font();
    canvas.Font.Color = selected ? (clSystemColor | COLOR_HIGHLIGHTTEXT) : control_.Font().Color;
    TRect text{x + 18, r.Top, r.Right, r.Bottom};
    canvas.DrawText(entry.Caption, text, dtSingleLine | dtVCenter | dtNoPrefix);
    ::SetViewportOrgEx(item.hDC, origin.x, origin.y, nullptr);
  }

  // Notifications that a child window sends to its parent.
  static bool ChildMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
      case WM_COMMAND: {
        TWin32Peer* child = lParam ? PeerOf(reinterpret_cast<HWND>(lParam)) : nullptr;
        if (!child) return false;
        child->Command(HIWORD(wParam));
        return true;
      }
      case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        TWin32Peer* child = PeerOf(item->hwndItem);
        if (!child) return false;
        child->DrawListItem(*item);
        result = TRUE;
        return true;
      }
      case WM_CTLCOLORSTATIC:
      case WM_CTLCOLOREDIT:
      case WM_CTLCOLORBTN:
      case WM_CTLCOLORLISTBOX: {
        TWin32Peer* child = PeerOf(reinterpret_cast<HWND>(lParam));
        if (!child) return false;
        HDC dc = reinterpret_cast<HDC>(wParam);
        ::SetTextColor(dc, Ref(child->control_.Font().Color));
        ::SetBkColor(dc, Ref(child->control_.Color()));
        result = reinterpret_cast<LRESULT>(child->BackgroundBrush(child->control_.Color()));
        return true;
      }
      default:
        return false;
    }
  }

  void Command(WORD code) {
    HWND w = window_.get();
    switch (kind_) {
      case TControlKind::Button:
        if (code == BN_CLICKED) control_.Click();
        break;
      case TControlKind::CheckBox:
        if (code == BN_CLICKED) static_cast<TCheckBox&>(control_).Toggle();
        break;
      case TControlKind::RadioButton:
        if (code == BN_CLICKED) static_cast<TRadioButton&>(control_).SetChecked(true);
        break;
      case TControlKind::Edit:
        if (code == EN_CHANGE) static_cast<TEdit&>(control_).TextEditedByUser(WindowText(w));
        break;
      case TControlKind::ComboBox:
        if (code == CBN_SELCHANGE)
          static_cast<TComboBox&>(control_).SelectByUser(static_cast<int>(::SendMessageA(w, CB_GETCURSEL, 0, 0)));
        break;
      case TControlKind::ListBox:
        if (auto* list = dynamic_cast<TDirectoryListBox*>(&control_)) {
          const int index = static_cast<int>(::SendMessageA(w, LB_GETCURSEL, 0, 0));
          if (code == LBN_SELCHANGE) list->SelectByUser(index);
          if (code == LBN_DBLCLK) list->OpenByUser(index);
        }
        break;
      default:
        break;
    }
  }

  bool Handle(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (ChildMessage(message, wParam, lParam, result)) return true;
    switch (message) {
      case WM_THEMECHANGED:
        barWidth_ = -1;
        return false;
      case WM_TIMER:
        if (wParam != kFrameTimer || !frameTimer_) return false;
        if (auto* bar = dynamic_cast<TProgressBar*>(&control_)) ApplyProgress(*bar, true);
        return true;
      case WM_SETFOCUS:
        if (TForm* form = control_.ParentForm()) form->ActiveControl = &control_;
        control_.DoEnter();
        return false;
      case WM_KILLFOCUS:
        control_.DoExit();
        return false;
      default:
        break;
    }
    if (!Painted()) return false;
    switch (message) {
      case WM_PAINT: Paint(); return true;
      case WM_ERASEBKGND: result = 1; return true;
      case WM_MOUSEMOVE: Mouse(TMouseAction::Move, TMouseButton::mbLeft, wParam, lParam); return true;
      case WM_LBUTTONDOWN: Mouse(TMouseAction::Down, TMouseButton::mbLeft, wParam, lParam); return true;
      case WM_RBUTTONDOWN: Mouse(TMouseAction::Down, TMouseButton::mbRight, wParam, lParam); return true;
      case WM_MBUTTONDOWN: Mouse(TMouseAction::Down, TMouseButton::mbMiddle, wParam, lParam); return true;
      case WM_LBUTTONUP: Mouse(TMouseAction::Up, TMouseButton::mbLeft, wParam, lParam); return true;
      case WM_RBUTTONUP: Mouse(TMouseAction::Up, TMouseButton::mbRight, wParam, lParam); return true;
      case WM_MBUTTONUP: Mouse(TMouseAction::Up, TMouseButton::mbMiddle, wParam, lParam); return true;
      case WM_LBUTTONDBLCLK: Mouse(TMouseAction::DoubleClick, TMouseButton::mbLeft, wParam, lParam); return true;
      case WM_RBUTTONDBLCLK: Mouse(TMouseAction::DoubleClick, TMouseButton::mbRight, wParam, lParam); return true;
      case WM_MOUSELEAVE:
        tracking_ = false;
        control_.MouseExitWindow();
        return true;
      case WM_CLOSE:
        if (auto* form = dynamic_cast<TForm*>(&control_)) form->Close();
        return true;
      default:
        return false;
    }
  }

  TWin32Backend& backend_;
  TWinControl& control_;
  TControlKind kind_;
  // The font and the brush the window uses are declared before it: members
  // go in reverse order, and a window must be destroyed before what it still
  // draws with is deleted.
  TFontHandle font_;
  TGdiObject background_;
  TColor backgroundColor_ = clNone;
  TWindowHandle window_;
  WNDPROC oldProc_ = nullptr;
  std::vector<std::string> comboItems_;
  // What the native progress bar was last told; a range that cannot be
  // makes the first change tell it everything.
  int sentMin_ = 0, sentMax_ = -1, sentPosition_ = 0;
  DWORD sentAt_ = 0;
  bool frameTimer_ = false;  // a position is held back until the frame is over
  static constexpr UINT_PTR kFrameTimer = 0x4658;  // clear of the bar's own timers
  static constexpr DWORD kFrameMilliseconds = 16;
  int barWidth_ = -1;  // the native bar's filled width at its end; -1: to be measured
  bool tracking_ = false;
};

// ------------------------------------------------------------- the backend

TWin32Backend::TWin32Backend() : scale_(ScreenDpi()) {
  INITCOMMONCONTROLSEX common{sizeof(common), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&common);
  // No "insert a disk" dialogs from the folder list on empty drives.
  ::SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HINSTANCE instance = ::GetModuleHandleA(nullptr);
  WNDCLASSA utility{};
  utility.lpfnWndProc = &TWin32Backend::UtilityProc;
  utility.hInstance = instance;
  utility.lpszClassName = kUtilityClass;
  ::RegisterClassA(&utility);
  WNDCLASSA parking{};
  parking.lpfnWndProc = ::DefWindowProcA;
  parking.hInstance = instance;
  parking.lpszClassName = kParkingClass;
  ::RegisterClassA(&parking);
  utility_.reset(::CreateWindowExA(0, kUtilityClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr));
  parking_.reset(::CreateWindowExA(WS_EX_TOOLWINDOW, kParkingClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                   instance, nullptr));
  if (!utility_ || !parking_) throw std::runtime_error("Cannot create the application's hidden windows.");
  ::SetWindowLongPtrA(utility_.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  // Last: a backend that failed to start leaves the colours as they were.
  SetSystemColorResolver(&SystemColor);
}

TWin32Backend::~TWin32Backend() {
  for (const auto& timer : timers_) ::KillTimer(utility_.get(), timer.first);
  SetSystemColorResolver(nullptr);
}

LRESULT CALLBACK TWin32Backend::UtilityProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<TWin32Backend*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  if (self && message == WM_TIMER) {
    auto it = self->timers_.find(static_cast<uintptr_t>(wParam));
    if (it != self->timers_.end()) {
      std::function<void()> tick = it->second;  // the tick may stop its own timer
      Application().Dispatch(nullptr, tick);
    }
    return 0;
  }
  if (message == kWakeMessage) {
    Application().CheckSynchronize();
    return 0;
  }
  return ::DefWindowProcA(window, message, wParam, lParam);
}

std::unique_ptr<TWindowPeer> TWin32Backend::CreatePeer(TWinControl& control, TControlKind kind) {
  return std::make_unique<TWin32Peer>(*this, control, kind);
}

bool TWin32Backend::PreTranslate(const MSG& msg) {
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && PeerOf(msg.hwnd)) {
    HWND root = ::GetAncestor(msg.hwnd, GA_ROOT);
    const BOOL back = ::GetKeyState(VK_SHIFT) < 0;
    if (HWND next = ::GetNextDlgTabItem(root, msg.hwnd, back)) ::SetFocus(next);
    return true;
  }
  if (msg.message != WM_SYSCHAR && msg.message != WM_CHAR) return false;
  const char key = static_cast<char>(msg.wParam);
  if (static_cast<unsigned char>(key) < 32) return false;
  TWin32Peer* focus = PeerOf(msg.hwnd);
  // Typing in an edit field or choosing in a list is not an accelerator.
  if (msg.message == WM_CHAR && focus &&
      (focus->Kind() == TControlKind::Edit || focus->Kind() == TControlKind::ComboBox ||
       focus->Kind() == TControlKind::ListBox))
    return false;
  TWin32Peer* root = PeerOf(::GetAncestor(msg.hwnd, GA_ROOT));
  if (!root) return false;
  bool handled = false;
  Application().Dispatch(&root->Control(), [&] { handled = root->Control().DialogChar(key); });
  return handled;
}

void TWin32Backend::Handle(MSG& msg) {
  if (PreTranslate(msg)) return;
  ::TranslateMessage(&msg);
  ::DispatchMessageA(&msg);
}

void TWin32Backend::ProcessMessages() {
  // Long runs call this at every step, and mostly nothing waits: asking
  // whether anything does is the cheaper question, for Wine too.
  if (!HIWORD(::GetQueueStatus(QS_ALLINPUT))) return;
  MSG msg;
  while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      Application().Terminate();
      return;
    }
    Handle(msg);
  }
}

bool TWin32Backend::HandleMessage() {
  MSG msg;
  const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
  if (got == 0 || got == -1) return false;
  Handle(msg);
  return true;
}

void TWin32Backend::WakeMainThread() { ::PostMessageA(utility_.get(), kWakeMessage, 0, 0); }

uintptr_t TWin32Backend::StartTimer(unsigned interval, std::function<void()> tick) {
  const uintptr_t id = nextTimerId_++;
  if (!::SetTimer(utility_.get(), id, interval, nullptr)) throw std::runtime_error("Not enough timers are available.");
  timers_[id] = std::move(tick);
  return id;
}

void TWin32Backend::StopTimer(uintptr_t id) {
  ::KillTimer(utility_.get(), id);
  timers_.erase(id);
}

int TWin32Backend::MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
  HWND owner = nullptr;
  if (Application().MainForm) owner = static_cast<HWND>(Application().MainForm->Handle());
  return ::MessageBoxA(owner, text.c_str(), caption.c_str(), flags | MB_TASKMODAL);
}

int TWin32Backend::TrackPopupMenu(const std::vector<std::string>& captions, TPoint at) {
  TMenuHandle menu(::CreatePopupMenu());
  if (!menu) throw std::runtime_error("Cannot create a popup menu.");
  // Command 0 means "nothing chosen", so item i is command i + 1.
  for (size_t i = 0; i < captions.size(); ++i) {
    const BOOL added = captions[i] == "-"
                           ? ::AppendMenuA(menu.get(), MF_SEPARATOR, 0, nullptr)
                           : ::AppendMenuA(menu.get(), MF_STRING, static_cast<UINT_PTR>(i + 1), captions[i].c_str());
    if (!added) throw std::runtime_error("Cannot add \"" + captions[i] + "\" to a popup menu.");
  }
  HWND owner = utility_.get();
  if (Application().MainForm) owner = static_cast<HWND>(Application().MainForm->Handle());
  // The menu closes on a click elsewhere only while its owner is in the
  // foreground, and the message after it lets a second menu open at once.
  ::SetForegroundWindow(owner);
  const int command = static_cast<int>(::TrackPopupMenu(menu.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD |
                                                                          TPM_NONOTIFY | TPM_LEFTBUTTON,
                                                        scale_.Device(at.X), scale_.Device(at.Y), 0, owner,
                                                        nullptr));
  ::PostMessageA(owner, WM_NULL, 0, 0);
  return command - 1;
}

void TWin32Backend::SetClipboardText(const std::string& text) {
  TGlobalMemory memory(::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1));
  if (!memory) throw std::runtime_error("Not enough memory for the clipboard.");
  {
    TGlobalLock lock(memory.get());
    char* bytes = lock.Bytes();
    if (!bytes) throw std::runtime_error("Not enough memory for the clipboard.");
    std::copy(text.begin(), text.end(), bytes);
    bytes[text.size()] = '\0';
  }
  TClipboardScope clipboard;
  ::EmptyClipboard();
  if (!::SetClipboardData(CF_TEXT, memory.get())) throw std::runtime_error("Cannot put the text on the clipboard.");
  memory.release();  // the clipboard owns it now
}

std::string TWin32Backend::ClipboardText() {
  TClipboardScope clipboard;
  HANDLE data = ::GetClipboardData(CF_TEXT);
  if (!data) return {};
  TGlobalLock lock(data);
  const char* bytes = lock.Bytes();
  if (!bytes) return {};
  return std::string(bytes, strnlen(bytes, ::GlobalSize(data)));
}

int TWin32Backend::ScreenColorDepth() {
  TWindowDc screen(nullptr);
  return ::GetDeviceCaps(screen.get(), BITSPIXEL) * ::GetDeviceCaps(screen.get(), PLANES);
}

TPoint TWin32Backend::ScreenSize() {
  RECT work{};
  if (!::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
    return scale_.Layout(TPoint{::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)});
  return scale_.Layout(TPoint{work.right - work.left, work.bottom - work.top});
}

std::unique_ptr<TCanvas> TWin32Backend::CreateMeasureCanvas() { return std::make_unique<TMeasureCanvas>(scale_); }

