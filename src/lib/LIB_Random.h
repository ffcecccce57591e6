#pragma once
#include <cstdint>

// The one pseudo-random sequence of the process. The welcome page's moving
// words and the settings writer's key seed draw from it in the order in which
// they call it, so its seed starts at 0 and is never taken from the clock:
// the same walk through the program gives the same numbers every time.

// A number from 0 to n - 1 (0 when n is 0).
uint32_t Random(uint32_t n);

// The seed as it stands, and a way to put it back; for tests that need a
// known starting point.
uint32_t RandSeed();
void SetRandSeed(uint32_t seed);
