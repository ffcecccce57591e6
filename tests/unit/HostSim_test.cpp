#include "platform/hostsim/HostSim.h"

#include <gtest/gtest.h>

#include <vector>

#include "unit/HostSim_fixture.h"

namespace {

TEST_F(HostSimTest, ClockMovesOnlyWhenItSleeps) {
  os_->SetClock(TLocalTime{2024, 2, 28, 0, 23, 59, 59, 999});
  os_->Sleep(1);  // into the leap day
  TLocalTime t = os_->LocalTime();
  EXPECT_EQ(std::vector<int>({t.Year, t.Month, t.Day, t.DayOfWeek, t.Hour, t.Minute, t.Second,
                              t.Millisecond}),
            std::vector<int>({2024, 2, 29, 4, 0, 0, 0, 0}));
  os_->Sleep(86400000);
  t = os_->LocalTime();
  EXPECT_EQ(std::vector<int>({t.Month, t.Day, t.DayOfWeek}), std::vector<int>({3, 1, 5}));
  EXPECT_EQ(os_->SleptMilliseconds(), 86400001u);
}

}  // namespace
