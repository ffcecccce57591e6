// The control library's headers come before the platform's: its colour
// macros agree with our helpers of the same names.
#include "ui/Application.h"
#include "ui/Forms.h"
#include "ui/win32/Win32Backend.h"
#include "ui/win32/Win32Canvas.h"
#include "ui/win32/Win32PaintedPeer.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace {

constexpr UINT kWakeMessage = WM_APP + 1;
const char kUtilityClass[] = "FxUtilityWindow";
const char kParkingClass[] = "FxParkingWindow";

TColor SystemColor(int index) {
  const COLORREF c = ::GetSysColor(index);
  return RGB(GetRValue(c), GetGValue(c), GetBValue(c));
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

}  // namespace

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

// Each kind of control has its peer, which alone knows the control's class.
std::unique_ptr<TWindowPeer> TWin32Backend::CreatePeer(TWinControl& control, TControlKind kind) {
  switch (kind) {
    case TControlKind::Form: return NewFormPeer(*this, control);
    case TControlKind::Custom:
      return std::make_unique<TWin32PaintedPeer>(*this, control, kChildStyle | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT);
    case TControlKind::Button: return NewButtonPeer(*this, control);
    case TControlKind::CheckBox: return NewCheckBoxPeer(*this, control);
    case TControlKind::RadioButton: return NewRadioButtonPeer(*this, control);
    case TControlKind::Edit: return NewEditPeer(*this, control);
    case TControlKind::ComboBox: return NewComboBoxPeer(*this, control);
    case TControlKind::ListBox: return NewListBoxPeer(*this, control);
    case TControlKind::ProgressBar: return NewProgressBarPeer(*this, control);
    case TControlKind::StaticText:
      return std::make_unique<TWin32Peer>(*this, control, TWindowClass{"STATIC", kChildStyle | SS_LEFT, 0});
  }
  throw std::logic_error("A control of no known kind.");
}

bool TWin32Backend::PreTranslate(const MSG& msg) {
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB && TWin32Peer::Of(msg.hwnd)) {
    HWND root = ::GetAncestor(msg.hwnd, GA_ROOT);
    const BOOL back = ::GetKeyState(VK_SHIFT) < 0;
    if (HWND next = ::GetNextDlgTabItem(root, msg.hwnd, back)) ::SetFocus(next);
    return true;
  }
  if (msg.message != WM_SYSCHAR && msg.message != WM_CHAR) return false;
  const char key = static_cast<char>(msg.wParam);
  if (static_cast<unsigned char>(key) < 32) return false;
  TWin32Peer* focus = TWin32Peer::Of(msg.hwnd);
  // Typing in an edit field or choosing in a list is not an accelerator.
  if (msg.message == WM_CHAR && focus && focus->TakesTyping()) return false;
  TWin32Peer* root = TWin32Peer::Of(::GetAncestor(msg.hwnd, GA_ROOT));
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

