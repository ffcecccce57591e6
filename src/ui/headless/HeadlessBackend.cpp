#include "ui/headless/HeadlessBackend.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>
#include <thread>

#include "ui/Application.h"
#include "ui/Controls.h"
#include "ui/Forms.h"

// ------------------------------------------------------------ THeadlessPeer

THeadlessPeer::THeadlessPeer(THeadlessBackend& backend, TWinControl& control, TControlKind kind)
    : backend_(backend), control_(control), kind_(kind) {
  backend_.peers_.push_back(this);
}

THeadlessPeer::~THeadlessPeer() {
  auto& peers = backend_.peers_;
  peers.erase(std::remove(peers.begin(), peers.end(), this), peers.end());
  if (backend_.focused_ == &control_) backend_.focused_ = nullptr;
}

void THeadlessPeer::Changed(TPeerChange what) {
  if (what == TPeerChange::Visible && !control_.Visible() && backend_.focused_ == &control_) {
    backend_.focused_ = nullptr;
    control_.DoExit();
  }
  invalid_ = true;
}

void THeadlessPeer::Invalidate(const TRect&) { invalid_ = true; }

void THeadlessPeer::Update() {
  if (!invalid_ || !control_.Showing()) return;
  invalid_ = false;
  TRecordingCanvas canvas;
  Application().Dispatch(&control_, [&] { control_.PaintWindow(canvas); });
  lastPaint_ = std::move(canvas);
  ++paintCount_;
}

void THeadlessPeer::SetFocus() {
  TWinControl* old = backend_.focused_;
  if (old == &control_) return;
  backend_.focused_ = &control_;
  if (TForm* form = control_.ParentForm()) form->ActiveControl = &control_;
  if (old) old->DoExit();
  control_.DoEnter();
}

bool THeadlessPeer::Focused() const { return backend_.focused_ == &control_; }

TPoint THeadlessPeer::ClientOrigin() const {
  TPoint origin{control_.Left(), control_.Top()};
  for (const TWinControl* p = control_.Parent(); p; p = p->Parent()) {
    origin.X += p->Left();
    origin.Y += p->Top();
  }
  return origin;
}

// --------------------------------------------------------- THeadlessBackend

std::unique_ptr<TWindowPeer> THeadlessBackend::CreatePeer(TWinControl& control, TControlKind kind) {
  return std::make_unique<THeadlessPeer>(*this, control, kind);
}

THeadlessPeer& THeadlessBackend::PeerOf(const TWinControl& control) {
  auto* peer = dynamic_cast<THeadlessPeer*>(&control.Peer());
  if (!peer) throw std::logic_error("The control was not made on the headless backend.");
  return *peer;
}

void THeadlessBackend::PaintInvalid() {
  // Copied: painting may make or free windows.
  const std::vector<THeadlessPeer*> peers = peers_;
  for (THeadlessPeer* peer : peers)
    if (std::find(peers_.begin(), peers_.end(), peer) != peers_.end()) peer->Update();
}

bool THeadlessBackend::FireNextDue(uint64_t until) {
  auto next = timers_.end();
  for (auto it = timers_.begin(); it != timers_.end(); ++it)
    if (it->second.Due <= until && (next == timers_.end() || it->second.Due < next->second.Due)) next = it;
  if (next == timers_.end()) return false;
  now_ = std::max(now_, next->second.Due);
  clock_ = static_cast<uint32_t>(now_);
  next->second.Due = now_ + next->second.Interval;
  // Copied: the tick may stop its own timer.
  std::function<void()> tick = next->second.Tick;
  tick();
  return true;
}

void THeadlessBackend::ProcessMessages() {
  Application().CheckSynchronize();
  // Like the platform's timer messages: each due timer ticks once, however
  // late it is.
  std::vector<uintptr_t> due;
  for (const auto& entry : timers_)
    if (entry.second.Due <= now_) due.push_back(entry.first);
  for (uintptr_t id : due) {
    auto it = timers_.find(id);
    if (it == timers_.end()) continue;
    it->second.Due = now_ + it->second.Interval;
    std::function<void()> tick = it->second.Tick;
    tick();
  }
  Application().CheckSynchronize();
  PaintInvalid();
  if (AfterMessages) AfterMessages();
}

bool THeadlessBackend::HandleMessage() {
  ProcessMessages();
  if (Application().Terminated()) return true;
  if (timers_.empty()) return false;
  uint64_t earliest = UINT64_MAX;
  for (const auto& entry : timers_) earliest = std::min(earliest, entry.second.Due);
  FireNextDue(earliest);
  return true;
}

void THeadlessBackend::Sleep(unsigned milliseconds) {
  if (!Application().IsMainThread()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    return;
  }
  now_ += milliseconds;
  clock_ = static_cast<uint32_t>(now_);
}

void THeadlessBackend::AdvanceClock(unsigned milliseconds) {
  const uint64_t until = now_ + milliseconds;
  while (FireNextDue(until)) Application().CheckSynchronize();
  now_ = until;
  clock_ = static_cast<uint32_t>(now_);
  ProcessMessages();
}

uintptr_t THeadlessBackend::StartTimer(unsigned interval, std::function<void()> tick) {
  const uintptr_t id = nextTimerId_++;
  timers_[id] = TTimerEntry{interval, now_ + interval, std::move(tick)};
  return id;
}

void THeadlessBackend::StopTimer(uintptr_t id) { timers_.erase(id); }

int THeadlessBackend::MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
  MessageBoxes.push_back({text, caption, flags});
  return MessageBoxResponder ? MessageBoxResponder(MessageBoxes.back()) : idOk;
}

int THeadlessBackend::TrackPopupMenu(const std::vector<std::string>& captions, TPoint at) {
  PopupMenus.push_back({captions, at});
  return PopupMenuChooser ? PopupMenuChooser(PopupMenus.back()) : -1;
}
