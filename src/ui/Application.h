#pragma once
// The application object: the chosen backend, the message loop, the one
// dispatch point of every event handler, calls from other threads onto the
// main thread, timers, message boxes and the clipboard.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "ui/Backend.h"
#include "ui/Classes.h"

class TForm;

using TExceptionEvent = std::function<void(TObject* Sender, const std::exception& E)>;

class TApplication {
 public:
  TApplication();
  ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  // The caption of message boxes.
  std::string Title;

  // Chosen once at start, before any control is made; asking for the backend
  // before that is an error.
  void SetBackend(std::unique_ptr<TBackend> backend);
  TBackend& Backend();

  // The unhandled-error handler; without one, the message goes to a message box.
  TExceptionEvent OnException;
  void HandleException(TObject* sender, const std::exception& error);

  // Runs an event handler. Nothing it throws goes further: the exception
  // reaches HandleException. What the error handler throws itself is dropped;
  // failures of handlers that it runs in turn reach it again, up to a depth.
  void Dispatch(TObject* sender, const std::function<void()>& handler) noexcept;

  // Handles the waiting messages, timer ticks and queued calls, then returns.
  void ProcessMessages();
  // Runs a fresh message loop until Terminate, or until the backend has
  // nothing left to wait for.
  void Run();
  void Terminate() { terminated_ = true; }
  bool Terminated() const { return terminated_; }
  TForm* MainForm = nullptr;

  // Runs the call on the main thread and waits for it; what it throws is
  // thrown again in the calling thread. On the main thread it runs at once.
  void Synchronize(const std::function<void()>& call);
  // Runs the calls that other threads have queued; main thread only.
  void CheckSynchronize();
  bool IsMainThread() const { return std::this_thread::get_id() == mainThread_; }

  uint32_t TickCount() { return Backend().TickCount(); }
  void Sleep(unsigned milliseconds) { Backend().Sleep(milliseconds); }

  // The simple message box: the text, the given buttons, the title as caption.
  int MessageBox(const std::string& text, unsigned flags = mbOk);

 private:
  struct TQueuedCall {
    std::function<void()> call;
    std::exception_ptr error;
    bool done = false;
  };

  std::unique_ptr<TBackend> backend_;
  bool terminated_ = false;
  static constexpr int kMaxExceptionDepth = 4;
  int exceptionDepth_ = 0;
  std::thread::id mainThread_;
  std::mutex queueMutex_;
  std::condition_variable queueDone_;
  std::deque<TQueuedCall*> queue_;
};

TApplication& Application();

class Clipboard {
 public:
  static void SetAsText(const std::string& text) { Application().Backend().SetClipboardText(text); }
  static std::string AsText() { return Application().Backend().ClipboardText(); }
};

// A message-loop timer: OnTimer runs every Interval milliseconds while the
// timer is enabled and has a handler.
class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* owner) : TComponent(owner) {}
  ~TTimer() override { Stop(); }

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned interval);
  const TNotifyEvent& OnTimer() const { return onTimer_; }
  void SetOnTimer(TNotifyEvent handler);

 private:
  void Restart();
  void Stop();

  bool enabled_ = true;
  unsigned interval_ = 1000;
  TNotifyEvent onTimer_;
  uintptr_t id_ = 0;
};
