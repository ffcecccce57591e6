#include "lib/LIB_Random.h"

namespace {
uint32_t g_seed = 0;
}

uint32_t Random(uint32_t n) {
  g_seed = g_seed * 134775813u + 1u;  // wraps modulo 2^32
  return static_cast<uint32_t>((static_cast<uint64_t>(g_seed) * n) >> 32);
}

uint32_t RandSeed() { return g_seed; }

void SetRandSeed(uint32_t seed) { g_seed = seed; }
