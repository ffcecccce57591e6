#include "lib/LIB_Percent.h"

#include <gtest/gtest.h>

namespace {

TEST(RoundedPercentTest, RoundsHalvesToEven) {
  struct Case {
    int64_t position, maximum;
    int percent;
  };
  const Case cases[] = {
      {0, 100, 0},     {1, 8, 12},     {3, 8, 38},   {5, 200, 2},  {7, 200, 4},
      {1, 200, 0},     {3, 200, 2},    {100, 100, 100}, {4962512, 5127929, 97},
      {4922812, 5127929, 96}, {1, 0, 0},  // a bar without a range shows 0
  };
  for (const Case& c : cases)
    EXPECT_EQ(RoundedPercent(c.position, c.maximum), c.percent) << c.position << "/" << c.maximum;
}

}  // namespace
