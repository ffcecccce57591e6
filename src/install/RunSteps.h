#pragma once
#include <exception>
#include <functional>
#include <optional>
#include <vector>

#include "install/RunProgress.h"

// A run as a list of steps, each with what its failure does, so that which
// failure ends a run and which is passed over is written once, beside the
// step, and one loop carries it out. A block is a step made of steps, with
// a policy of its own for what their failure does to the steps around it;
// the run itself is the outermost block.

enum class TOnFailure {
  // The rest of the step's block is left out, and the block's own policy
  // takes the failure on. Out of the run it reaches the caller, with what
  // was made so far left in place.
  EndsTheBlock,
  // The block goes on with its next step.
  Ignored,
};

// How a step is tried again while its failure may pass, as a file that a
// running program holds.
struct TRetry {
  // After a failed attempt (the first is 1): raises the failure that ends
  // the step, in the run's own words, or returns for another attempt. It
  // runs while the failure is handled, so "throw;" raises it as it stands.
  // Without it the first failure ends the step.
  std::function<void(const std::exception& error, int attempt)> Judge;
  // Runs between an attempt that failed and the next; without it the next
  // follows at once.
  std::function<void(int attempt)> Wait;
};

struct TRunStep {
  TOnFailure OnFailure = TOnFailure::EndsTheBlock;
  // A step's work; a block has its steps instead.
  std::function<void()> Run;
  std::vector<TRunStep> Steps;
  // Left out when false, as by a choice of the user's.
  bool Wanted = true;
  // The percentage of the progress range reported once the run is past the
  // step: done, failed and ignored, or left out.
  std::optional<int> ShowsPercent;
  TRetry Retry;

  TRunStep When(bool wanted) && {
    Wanted = wanted;
    return std::move(*this);
  }
  TRunStep ThenShows(int percent) && {
    ShowsPercent = percent;
    return std::move(*this);
  }
  TRunStep RetriedAs(TRetry retry) && {
    Retry = std::move(retry);
    return std::move(*this);
  }
};

TRunStep Step(std::function<void()> run, TOnFailure onFailure = TOnFailure::EndsTheBlock);
TRunStep Block(std::vector<TRunStep> steps, TOnFailure onFailure = TOnFailure::EndsTheBlock);

// Runs the wanted steps in order, reporting their percentages to progress.
// A failure is an exception derived from std::exception; any other passes
// through whatever the step's policy.
void RunSteps(const std::vector<TRunStep>& steps, IRunProgress& progress);
