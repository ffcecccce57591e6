#pragma once
// A property that a fuzz target checks: when it does not hold, the target
// stops as a crash, so that the fuzzer keeps the input that broke it.

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                            \
  ((condition) ? void()                                                                  \
               : (std::fprintf(stderr, "%s:%d: %s does not hold\n", __FILE__, __LINE__, \
                               #condition),                                              \
                  std::abort()))
