#include "platform/hostsim/HostSim.h"

#include <gtest/gtest.h>

namespace {

struct MaskCase {
  const char* mask;
  const char* name;
  bool matches;
};

TEST(MatchesMaskTest, FollowsWindowsRules) {
  const MaskCase cases[] = {
      {"*.*", "readme.txt", true},
      {"*.*", "README", true},  // ".*" also matches a name without a dot
      {"*.*", ".", true},
      {"*.*", "..", true},
      {"*", "a.b.c", true},
      {"Fotelix.exe", "FOTELIX.EXE", true},
      {"Fotelix.exe", "Fotelix.exe.bak", false},
      {"Fotelix.exe", "Fotelix.ex", false},
      {"*.exe", "a.exe", true},
      {"*.exe", "a.exe.txt", false},
      {"f?t*.dat", "FOTELIX.DAT", true},
      {"f?t*.dat", "ft.dat", false},
      {"*.txt", "txt", false},
      {"a*b*c", "aXbYbZc", true},
      {"a*b*c", "aXbYbZ", false},
      {"\xC4*", "\xE4x", false},  // only A to Z fold, as the path comparison does
  };
  for (const MaskCase& c : cases)
    EXPECT_EQ(MatchesMask(c.mask, c.name), c.matches) << c.mask << " vs " << c.name;
}

}  // namespace
