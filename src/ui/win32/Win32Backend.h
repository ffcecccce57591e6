#pragma once
// The real backend: each windowed control gets a window through the peer of
// its kind (Win32Peer.h); message-loop timers; MessageBoxA; the clipboard.

#include <map>
#include <memory>
#include <string>

#include "ui/Backend.h"
#include "ui/win32/Win32Handles.h"

class TWin32Backend : public TBackend {
 public:
  TWin32Backend();
  ~TWin32Backend() override;

  std::unique_ptr<TWindowPeer> CreatePeer(TWinControl& control, TControlKind kind) override;
  void ProcessMessages() override;
  bool HandleMessage() override;
  void WakeMainThread() override;
  uint32_t TickCount() override { return ::GetTickCount(); }
  void Sleep(unsigned milliseconds) override { ::Sleep(milliseconds); }
  uintptr_t StartTimer(unsigned interval, std::function<void()> tick) override;
  void StopTimer(uintptr_t id) override;
  int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
  int TrackPopupMenu(const std::vector<std::string>& captions, TPoint at) override;
  void SetClipboardText(const std::string& text) override;
  std::string ClipboardText() override;
  int ScreenColorDepth() override;
  TPoint ScreenSize() override;
  std::unique_ptr<TCanvas> CreateMeasureCanvas() override;

  // Where windows of controls without a parent wait.
  HWND ParkingWindow() const { return parking_.get(); }
  // From the layout's pixels to the screen's: read once at start, as a
  // program that follows the system DPI does.
  TDpiScale Scale() const { return scale_; }

 private:
  static LRESULT CALLBACK UtilityProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // Accelerators: a key pressed with Alt, or a plain key outside an edit
  // field, goes to the form's controls first.
  bool PreTranslate(const MSG& msg);
  void Handle(MSG& msg);

  TDpiScale scale_;
  TWindowHandle utility_;
  TWindowHandle parking_;
  std::map<uintptr_t, std::function<void()>> timers_;
  uintptr_t nextTimerId_ = 1;
};
