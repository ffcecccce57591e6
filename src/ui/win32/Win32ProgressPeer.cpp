#include "ui/ExtCtrls.h"
#include "ui/win32/Win32Peer.h"

#include <commctrl.h>
#include <uxtheme.h>
#include <vsstyle.h>

#include <algorithm>

namespace {

class TWin32ProgressPeer : public TWin32Peer {
 public:
  TWin32ProgressPeer(TWin32Backend& backend, TWinControl& bar)
      : TWin32Peer(backend, bar, TWindowClass{PROGRESS_CLASSA, kChildStyle | PBS_SMOOTH, 0}) {}

 protected:
  void ApplyState() override { ApplyProgress(false); }

  // At its new width the bar fills to the exact position again.
  void ApplyBounds() override {
    TWin32Peer::ApplyBounds();
    barWidth_ = -1;
    ApplyProgress(true);
  }

  bool Message(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    switch (message) {
      case WM_THEMECHANGED:
        barWidth_ = -1;
        break;
      case WM_TIMER:
        if (wParam != kFrameTimer || !frameTimer_) break;
        ApplyProgress(true);
        return true;
      default:
        break;
    }
    return TWin32Peer::Message(message, wParam, lParam, result);
  }

 private:
  // Only a progress bar asks for this peer.
  const TProgressBar& Bar() const { return static_cast<const TProgressBar&>(Control()); }

  // The native bar repaints at every new position, a millisecond or two
  // under some hosts, and one install moves it thousands of times, faster
  // than any screen shows. So it hears of a position only when its filled
  // part changes width on the screen, and then at most once a screen frame;
  // a position held back is told when the frame is over. A new range and
  // the end are told at once. The control keeps every position for those
  // who read it.
  void ApplyProgress(bool always) {
    const TProgressBar& bar = Bar();
    HWND w = Window();
    if (bar.Min() != sentMin_ || bar.Max() != sentMax_) {
      ::SendMessageA(w, PBM_SETRANGE32, static_cast<WPARAM>(bar.Min()), bar.Max());
      sentMin_ = bar.Min();
      sentMax_ = bar.Max();
      always = true;
    }
    const bool urgent = always || bar.Position() == bar.Max();
    if (!urgent && Filled(bar.Position()) == Filled(sentPosition_)) return;
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
  int Filled(int position) {
    const TProgressBar& bar = Bar();
    if (bar.Max() == bar.Min()) return 0;
    if (barWidth_ < 0) {
      RECT area;
      ::GetClientRect(Window(), &area);
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
    HTHEME theme = windowTheme && contentRect ? windowTheme(Window()) : nullptr;
    return theme && SUCCEEDED(contentRect(theme, nullptr, PP_BAR, 0, &area, &area));
  }

  // What the native bar was last told; a range that cannot be makes the
  // first change tell it everything.
  int sentMin_ = 0, sentMax_ = -1, sentPosition_ = 0;
  DWORD sentAt_ = 0;
  bool frameTimer_ = false;  // a position is held back until the frame is over
  static constexpr UINT_PTR kFrameTimer = 0x4658;  // clear of the bar's own timers
  static constexpr DWORD kFrameMilliseconds = 16;
  int barWidth_ = -1;  // the native bar's filled width at its end; -1: to be measured
};

}  // namespace

std::unique_ptr<TWindowPeer> NewProgressBarPeer(TWin32Backend& backend, TWinControl& bar) {
  return std::make_unique<TWin32ProgressPeer>(backend, bar);
}
