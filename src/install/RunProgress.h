#pragma once
#include <cstdint>
#include <string>

// What the engines show of a run while it works, and how they let the window
// answer meanwhile. The page that starts a run implements it with its own
// bar and labels, the wording of its captions and the message pump; the
// engines touch neither a control nor the message queue.
class IRunProgress {
 public:
  virtual ~IRunProgress() = default;

  // The range of positions, from 0 to maximum.
  virtual void SetRange(int32_t maximum) = 0;
  virtual int32_t Range() const = 0;
  // Moves to position and shows how much of the range that is.
  virtual void SetPosition(int32_t position) = 0;
  // A line about the run, such as why it waits; "" takes it away.
  virtual void SetStatus(const std::string& text) = 0;
  // Lets the pending window messages run: the window repaints and takes
  // input, and the handlers of that input run inside the run.
  virtual void LetMessagesRun() = 0;

  // One progress step: the position shown, then the messages run.
  void Report(int32_t position) {
    SetPosition(position);
    LetMessagesRun();
  }
  // The same at percent of the range.
  void ReportPercent(int percent);
};

// percent % of maximum, computed as maximum / 100 * percent in floating
// point and rounded to the nearest integer, halves to even.
int32_t PositionAtPercent(int32_t maximum, int percent);

// Shows nothing and lets nothing run.
class TNoProgress : public IRunProgress {
 public:
  void SetRange(int32_t) override {}
  int32_t Range() const override { return 0; }
  void SetPosition(int32_t) override {}
  void SetStatus(const std::string&) override {}
  void LetMessagesRun() override {}
};

// Shows nothing of a step, and lets the messages run as the run's own
// progress does: the window keeps answering while the step works.
class TUnshownProgress : public TNoProgress {
 public:
  explicit TUnshownProgress(IRunProgress& run) : run_(run) {}
  void LetMessagesRun() override { run_.LetMessagesRun(); }

 private:
  IRunProgress& run_;
};
