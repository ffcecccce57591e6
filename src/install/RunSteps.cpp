#include "install/RunSteps.h"

namespace {

void Attempt(const TRunStep& step, IRunProgress& progress) {
  for (int attempt = 1;; ++attempt) {
    try {
      if (step.Run)
        step.Run();
      else
        RunSteps(step.Steps, progress);
      return;
    } catch (const std::exception& error) {
      if (!step.Retry.Judge) throw;
      step.Retry.Judge(error, attempt);
    }
    // Outside the handler: the wait lets messages run, whose handlers may
    // fail in turn.
    if (step.Retry.Wait) step.Retry.Wait(attempt);
  }
}

}  // namespace

TRunStep Step(std::function<void()> run, TOnFailure onFailure) {
  TRunStep step;
  step.OnFailure = onFailure;
  step.Run = std::move(run);
  return step;
}

TRunStep Block(std::vector<TRunStep> steps, TOnFailure onFailure) {
  TRunStep block;
  block.OnFailure = onFailure;
  block.Steps = std::move(steps);
  return block;
}

void RunSteps(const std::vector<TRunStep>& steps, IRunProgress& progress) {
  for (const TRunStep& step : steps) {
    if (step.Wanted) {
      try {
        Attempt(step, progress);
      } catch (const std::exception&) {
        if (step.OnFailure == TOnFailure::EndsTheBlock) throw;
      }
    }
    if (step.ShowsPercent) progress.ReportPercent(*step.ShowsPercent);
  }
}
