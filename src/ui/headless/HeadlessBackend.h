#pragma once
// The backend with no screen: windows are records, the clock is virtual and
// moves only when the test says so, timers fire from ProcessMessages and from
// AdvanceClock, message boxes are recorded and answered by the test, and
// painting goes to recording canvases.

#include <atomic>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ui/Backend.h"
#include "ui/RecordingCanvas.h"

class THeadlessBackend;

class THeadlessPeer : public TWindowPeer {
 public:
  THeadlessPeer(THeadlessBackend& backend, TWinControl& control, TControlKind kind);
  ~THeadlessPeer() override;

  void Changed(TPeerChange what) override;
  void Invalidate(const TRect& rect) override;
  void Update() override;
  void SetFocus() override;
  bool Focused() const override;
  TPoint ClientOrigin() const override;
  void* Handle() const override { return nullptr; }

  TWinControl& Control() const { return control_; }
  TControlKind Kind() const { return kind_; }
  bool Invalid() const { return invalid_; }
  int PaintCount() const { return paintCount_; }
  // What the latest paint drew.
  const TRecordingCanvas& LastPaint() const { return lastPaint_; }

 private:
  THeadlessBackend& backend_;
  TWinControl& control_;
  TControlKind kind_;
  bool invalid_ = true;
  int paintCount_ = 0;
  TRecordingCanvas lastPaint_;
};

struct TMessageBoxCall {
  std::string Text;
  std::string Caption;
  unsigned Flags = 0;
};

struct TPopupMenuCall {
  std::vector<std::string> Captions;
  TPoint At;
};

class THeadlessBackend : public TBackend {
 public:
  THeadlessBackend() = default;

  std::unique_ptr<TWindowPeer> CreatePeer(TWinControl& control, TControlKind kind) override;
  void ProcessMessages() override;
  bool HandleMessage() override;
  // Other threads wake the main one when they ask it to run a call.
  void WakeMainThread() override { ++wakes_; }
  int Wakes() const { return wakes_; }
  uint32_t TickCount() override { return clock_; }
  // On the main thread the virtual clock moves on at once, with no timer
  // firing; other threads really sleep.
  void Sleep(unsigned milliseconds) override;
  uintptr_t StartTimer(unsigned interval, std::function<void()> tick) override;
  void StopTimer(uintptr_t id) override;
  int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
  int TrackPopupMenu(const std::vector<std::string>& captions, TPoint at) override;
  void SetClipboardText(const std::string& text) override { clipboard_ = text; }
  std::string ClipboardText() override { return clipboard_; }
  int ScreenColorDepth() override { return colorDepth_; }
  TPoint ScreenSize() override { return screenSize_; }
  std::unique_ptr<TCanvas> CreateMeasureCanvas() override { return std::make_unique<TRecordingCanvas>(); }

  // Moves the clock on by the given time, firing each timer at every moment
  // it falls due, in time order, with queued calls run in between; then
  // handles the waiting messages.
  void AdvanceClock(unsigned milliseconds);
  // Timers running now.
  size_t TimerCount() const { return timers_.size(); }
  // Runs after each round of ProcessMessages: how a test looks in, or acts,
  // at every step of a run that lets the window's messages through.
  std::function<void()> AfterMessages;

  // Message boxes shown so far; the responder answers them (idOk without one).
  std::vector<TMessageBoxCall> MessageBoxes;
  std::function<int(const TMessageBoxCall&)> MessageBoxResponder;
  // Popup menus shown so far; the chooser picks an item's index (none, -1,
  // without one).
  std::vector<TPopupMenuCall> PopupMenus;
  std::function<int(const TPopupMenuCall&)> PopupMenuChooser;

  void SetScreenColorDepth(int bits) { colorDepth_ = bits; }
  void SetScreenSize(TPoint size) { screenSize_ = size; }

  // The peer of a windowed control made on this backend.
  static THeadlessPeer& PeerOf(const TWinControl& control);
  TWinControl* FocusedControl() const { return focused_; }

 private:
  friend class THeadlessPeer;
  std::atomic<int> wakes_{0};
  struct TTimerEntry {
    unsigned Interval;
    uint64_t Due;
    std::function<void()> Tick;
  };
  void PaintInvalid();
  bool FireNextDue(uint64_t until);

  uint64_t now_ = 0;
  uint32_t clock_ = 0;
  uintptr_t nextTimerId_ = 1;
  std::map<uintptr_t, TTimerEntry> timers_;
  std::vector<THeadlessPeer*> peers_;
  TWinControl* focused_ = nullptr;
  std::string clipboard_;
  int colorDepth_ = 32;
  TPoint screenSize_{1024, 768};
};
