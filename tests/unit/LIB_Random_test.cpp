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
  std::vector<uint32_t> got;
  for (int i = 0; i < 4; ++i) got.push_back(Random(2));
  EXPECT_EQ(got, (std::vector<uint32_t>{0, 0, 1, 0}));
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

TEST_F(RandomTest, ResultIsTheUpperHalfOfSeedTimesRange) {
  const uint32_t ranges[] = {1, 2, 7, 100, 1000, 0x7FFFFFFFu, 0xFFFFFFFFu};
  for (uint32_t n : ranges) {
    const uint32_t before = RandSeed();
    const uint32_t r = Random(n);
    const uint32_t seed = before * 134775813u + 1u;
    EXPECT_EQ(r, static_cast<uint32_t>((uint64_t{seed} * n) >> 32)) << "n=" << n;
    EXPECT_LT(r, n);
  }
}

TEST_F(RandomTest, ZeroRangeGivesZeroButStillAdvances) {
  EXPECT_EQ(Random(0), 0u);
  EXPECT_EQ(RandSeed(), 1u);
}

}  // namespace
