#include "install/RunProgress.h"

#include <gtest/gtest.h>

namespace {

TEST(RunProgress, PercentPositionsRoundHalvesToEven) {
  // The figures of a program payload with a span of 4,962,512 bytes, whose
  // bar runs to 5,127,929.
  EXPECT_EQ(PositionAtPercent(5127929, 96), 4922812);
  EXPECT_EQ(PositionAtPercent(5127929, 98), 5025370);
  EXPECT_EQ(PositionAtPercent(5127929, 99), 5076650);
  EXPECT_EQ(PositionAtPercent(4962512, 100), 4962512);  // the upgrade's whole range
  EXPECT_EQ(PositionAtPercent(50, 1), 0);    // 0.5 rounds to the even 0
  EXPECT_EQ(PositionAtPercent(150, 1), 2);   // 1.5 rounds to the even 2
  EXPECT_EQ(PositionAtPercent(250, 1), 2);   // 2.5 rounds to the even 2
}

}  // namespace
