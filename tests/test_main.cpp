#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

#include "ui/Application.h"
#include "ui/headless/HeadlessBackend.h"

// The portable tests run their controls on the headless backend; the tests
// of the real Windows layer swap in their own for their duration.
int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  Application().SetBackend(std::make_unique<THeadlessBackend>());
  const int failed = RUN_ALL_TESTS();
  // Wine's console may hold output back; the summary must reach the log.
  std::fflush(stdout);
  return failed;
}
