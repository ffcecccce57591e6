#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  const int failed = RUN_ALL_TESTS();
  // Wine's console may hold output back; the summary must reach the log.
  std::fflush(stdout);
  return failed;
}
