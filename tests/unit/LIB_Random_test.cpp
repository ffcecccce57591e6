#include "lib/LIB_Random.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class RandomTest : public testing::Test {
 protected:
  void SetUp() override {
    saved_ = RandSeed();
    SetRandSeed(0);
  }
  void TearDown() override { SetRandSeed(saved_); }

 private:
  uint32_t saved_ = 0;
};

TEST_F(RandomTest, FirstDrawsFromSeedZero) {
  // The large ranges need the full 64-bit product of seed and range.
  const uint32_t ranges[] = {2, 2, 2, 2, 1000, 0x7FFFFFFFu, 0xFFFFFFFFu, 7};
  std::vector<uint32_t> got;
  for (uint32_t n : ranges) got.push_back(Random(n));
  EXPECT_EQ(got, (std::vector<uint32_t>{0, 0, 1, 0, 272, 1442366880u, 1368768586u, 1}));
}

TEST_F(RandomTest, SeedFollowsTheLinearCongruence) {
  // The seed wraps modulo 2^32; the third value needs that wrap.
  Random(10);
  EXPECT_EQ(RandSeed(), 1u);
  Random(10);
  EXPECT_EQ(RandSeed(), 134775814u);
  Random(10);
  EXPECT_EQ(RandSeed(), static_cast<uint32_t>(134775814ull * 134775813ull + 1));
}

TEST_F(RandomTest, ZeroRangeGivesZeroButStillAdvances) {
  EXPECT_EQ(Random(0), 0u);
  EXPECT_EQ(RandSeed(), 1u);
}

}  // namespace
