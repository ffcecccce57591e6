#pragma once
// The worker behind a speed button's slow fade. It never touches the button:
// every 30 ms it has the tick run on the main thread and waits until it has
// run. It starts paused; the tick pauses it when the fade is over, the button
// resumes it when the pointer leaves. Freeing it stops and joins the worker.

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

class TLbButtonThread {
 public:
  static constexpr std::chrono::milliseconds TickInterval{30};

  explicit TLbButtonThread(std::function<void()> tick);
  ~TLbButtonThread();
  TLbButtonThread(const TLbButtonThread&) = delete;
  TLbButtonThread& operator=(const TLbButtonThread&) = delete;

  bool Suspended() const;
  void Suspend();
  void Resume();
  // Asks the worker to end after the tick it may be running.
  void Terminate();
  // Waits until the worker has ended. On the main thread the ticks it has
  // already asked for are served meanwhile, so that neither waits for the other.
  void WaitFor();

 private:
  void Execute();

  std::function<void()> tick_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  bool suspended_ = true;
  bool terminated_ = false;
  bool finished_ = false;
  std::thread worker_;
};
