#include "platform/Find.h"

#include <gtest/gtest.h>

#include <vector>

#include "unit/HostSim_fixture.h"

namespace {

TEST_F(HostSimTest, FindAppliesTheAttributeMask) {
  MakeFile("C:\\Data\\plain.txt");
  MakeFile("C:\\Data\\hidden.txt");
  MakeFile("C:\\Data\\system.txt");
  MakeFolder("C:\\Data\\Sub");
  MakeFolder("C:\\Data\\Secret");
  os_->SetAttributes("C:\\Data\\hidden.txt", faHidden);
  os_->SetAttributes("C:\\Data\\system.txt", faSysFile | faReadOnly);
  os_->SetAttributes("C:\\Data\\Secret", faHidden);

  const auto names = [&](uint32_t mask) {
    std::vector<std::string> found;
    TFind find(*os_, "C:\\Data\\*.*", mask);
    for (TSearchRec rec; find.Next(rec);) found.push_back(rec.Name);
    return found;
  };
  using V = std::vector<std::string>;
  EXPECT_EQ(names(faAnyFile), (V{".", "..", "hidden.txt", "plain.txt", "Secret", "Sub", "system.txt"}));
  EXPECT_EQ(names(faReadOnly | faSysFile | faArchive | faDirectory),
            (V{".", "..", "plain.txt", "Sub", "system.txt"}));
  EXPECT_EQ(names(faArchive), (V{"plain.txt"}));
  EXPECT_EQ(names(faHidden), (V{"hidden.txt", "plain.txt"}));

  TFind root(*os_, "C:\\*.*", faAnyFile);  // a root has no "." and ".."
  TSearchRec rec;
  ASSERT_TRUE(root.Next(rec));
  EXPECT_EQ(rec.Name, "Data");
  EXPECT_EQ(rec.Attr & faDirectory, faDirectory);
  EXPECT_FALSE(root.Next(rec));

  TFind none(*os_, "C:\\Missing\\*.*", faAnyFile);
  EXPECT_FALSE(none.Next(rec));
}

}  // namespace
