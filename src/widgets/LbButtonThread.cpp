#include "widgets/LbButtonThread.h"

#include "ui/Application.h"

TLbButtonThread::TLbButtonThread(std::function<void()> tick)
    : tick_(std::move(tick)), worker_([this] { Execute(); }) {}

TLbButtonThread::~TLbButtonThread() {
  Terminate();
  WaitFor();
}

bool TLbButtonThread::Suspended() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return suspended_;
}

void TLbButtonThread::Suspend() {
  std::lock_guard<std::mutex> lock(mutex_);
  suspended_ = true;
}

void TLbButtonThread::Resume() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    suspended_ = false;
  }
  wake_.notify_all();
}

void TLbButtonThread::Terminate() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    terminated_ = true;
  }
  wake_.notify_all();
}

void TLbButtonThread::WaitFor() {
  if (!worker_.joinable()) return;
  if (Application().IsMainThread()) {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!finished_) {
      lock.unlock();
      Application().CheckSynchronize();
      lock.lock();
      wake_.wait_for(lock, std::chrono::milliseconds(1), [this] { return finished_; });
    }
  }
  worker_.join();
}

void TLbButtonThread::Execute() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return terminated_ || !suspended_; });
    if (terminated_) break;
    if (wake_.wait_for(lock, TickInterval, [this] { return terminated_; })) break;
    if (suspended_) continue;
    lock.unlock();
    try {
      // The tick's own failures reach the application's handler on the main
      // thread; only a failure to get there at all ends the worker.
      Application().Synchronize([this] { Application().Dispatch(nullptr, tick_); });
    } catch (...) {
      lock.lock();
      break;
    }
    lock.lock();
  }
  finished_ = true;
  lock.unlock();
  wake_.notify_all();
}
