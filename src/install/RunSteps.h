#pragma once
#include <functional>
#include <vector>

// A run as a list of steps, each with what its failure does to the run, so
// that which failure ends a run and which is passed over is written once,
// beside the step, and one loop carries it out.

enum class TOnFailure {
  EndsTheRun,        // raised on to the caller; nothing made so far is undone
  Ignored,           // the run goes on with the next step
  SkipsRestOfBlock,  // the steps after it in its block are left out
};

struct TRunStep {
  // Steps that share a block stand next to each other; a block of one step
  // is named after it.
  const char* Block;
  TOnFailure OnFailure;
  std::function<void()> Run;
  // A step that the user's choices leave out.
  bool Wanted = true;
};

// Runs the wanted steps in order. A failure is an exception derived from
// std::exception; any other passes through whatever the step's policy.
void RunSteps(const std::vector<TRunStep>& steps);
