#pragma once
#include <cstdint>

// position / maximum as a whole percentage, rounded half to even; 0 for a
// range without length. The progress pages show this figure beside their
// bars, and the bars tell it to assistive technology.
int RoundedPercent(int64_t position, int64_t maximum);
