#include "install/RunProgress.h"

#include <cmath>

void IRunProgress::ReportPercent(int percent) { Report(PositionAtPercent(Range(), percent)); }

int32_t PositionAtPercent(int32_t maximum, int percent) {
  // The default rounding mode rounds halves to the even neighbour.
  return static_cast<int32_t>(std::nearbyint(static_cast<double>(maximum) / 100.0 * percent));
}
