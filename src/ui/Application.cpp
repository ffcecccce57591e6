#include "ui/Application.h"

#include <stdexcept>

namespace {
// Static initialisation runs on the thread that starts the process, so this
// is the main thread whichever thread first asks for the application object.
const std::thread::id g_processThread = std::this_thread::get_id();
}  // namespace

TApplication::TApplication() : mainThread_(g_processThread) {}

TApplication::~TApplication() = default;

TApplication& Application() {
  static TApplication application;
  return application;
}

void TApplication::SetBackend(std::unique_ptr<TBackend> backend) { backend_ = std::move(backend); }

TBackend& TApplication::Backend() {
  // A program that forgot its backend must not quietly run on another one.
  if (!backend_) throw std::logic_error("The application has no control backend.");
  return *backend_;
}

void TApplication::HandleException(TObject* sender, const std::exception& error) {
  if (OnException) {
    OnException(sender, error);
    return;
  }
  MessageBox(error.what(), mbOk | mbIconError);
}

void TApplication::Dispatch(TObject* sender, const std::function<void()>& handler) noexcept {
  std::exception_ptr failure;
  try {
    handler();
    return;
  } catch (...) {
    failure = std::current_exception();
  }
  // The error handler may itself run handlers (a page slide processes
  // messages), and their failures are reported too; only a chain of failures
  // within failures, which could never end, is cut off.
  if (exceptionDepth_ >= kMaxExceptionDepth) return;
  ++exceptionDepth_;
  try {
    try {
      std::rethrow_exception(failure);
    } catch (const std::exception& e) {
      HandleException(sender, e);
    } catch (...) {
      HandleException(sender, std::runtime_error("An unknown error occurred."));
    }
  } catch (...) {
    // The error handler failed itself: nothing is left to report it to.
  }
  --exceptionDepth_;
}

void TApplication::ProcessMessages() {
  CheckSynchronize();
  Backend().ProcessMessages();
}

void TApplication::Run() {
  terminated_ = false;
  while (!terminated_) {
    CheckSynchronize();
    if (!Backend().HandleMessage()) break;
  }
}

void TApplication::Synchronize(const std::function<void()>& call) {
  if (IsMainThread()) {
    call();
    return;
  }
  TQueuedCall queued;
  queued.call = call;
  {
    std::unique_lock<std::mutex> lock(queueMutex_);
    queue_.push_back(&queued);
    Backend().WakeMainThread();
    queueDone_.wait(lock, [&] { return queued.done; });
  }
  if (queued.error) std::rethrow_exception(queued.error);
}

void TApplication::CheckSynchronize() {
  if (!IsMainThread()) return;
  for (;;) {
    TQueuedCall* next = nullptr;
    {
      std::lock_guard<std::mutex> lock(queueMutex_);
      if (queue_.empty()) return;
      next = queue_.front();
      queue_.pop_front();
    }
    try {
      next->call();
    } catch (...) {
      next->error = std::current_exception();
    }
    {
      std::lock_guard<std::mutex> lock(queueMutex_);
      next->done = true;
    }
    queueDone_.notify_all();
  }
}

int TApplication::MessageBox(const std::string& text, unsigned flags) {
  return Backend().MessageBox(text, Title, flags);
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  Restart();
}

void TTimer::SetInterval(unsigned interval) {
  if (interval == interval_) return;
  interval_ = interval;
  Restart();
}

void TTimer::SetOnTimer(TNotifyEvent handler) {
  onTimer_ = std::move(handler);
  Restart();
}

void TTimer::Stop() {
  if (id_ == 0) return;
  Application().Backend().StopTimer(id_);
  id_ = 0;
}

void TTimer::Restart() {
  Stop();
  if (!enabled_ || interval_ == 0 || !onTimer_) return;
  id_ = Application().Backend().StartTimer(interval_, [this] {
    // The handler may free or reconfigure the timer; it is copied first.
    TNotifyEvent handler = onTimer_;
    Application().Dispatch(this, [&] { handler(this); });
  });
}
