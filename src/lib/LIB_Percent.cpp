#include "lib/LIB_Percent.h"

#include <cmath>

int RoundedPercent(int64_t position, int64_t maximum) {
  if (maximum <= 0) return 0;
  // The default rounding mode rounds halves to the even neighbour.
  return static_cast<int>(
      std::nearbyint(static_cast<double>(position) / static_cast<double>(maximum) * 100.0));
}
