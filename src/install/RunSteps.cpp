#include "install/RunSteps.h"

#include <exception>
#include <string_view>

void RunSteps(const std::vector<TRunStep>& steps) {
  std::string_view skipped;  // the block whose rest is left out, if any
  for (const TRunStep& step : steps) {
    if (!skipped.empty() && step.Block == skipped) continue;
    skipped = {};
    if (!step.Wanted) continue;
    try {
      step.Run();
    } catch (const std::exception&) {
      if (step.OnFailure == TOnFailure::EndsTheRun) throw;
      if (step.OnFailure == TOnFailure::SkipsRestOfBlock) skipped = step.Block;
    }
  }
}
