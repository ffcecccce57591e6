#include "platform/Files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "unit/HostSim_fixture.h"

namespace {

// A file made new never opens what has the name already, nor what a link
// there points to; the next free name is taken instead.
TEST_F(HostSimTest, CreateNewNeverOpensWhatIsThere) {
  namespace fs = std::filesystem;
  MakeFile("C:\\Fotelix\\a.new", "left over");
  MakeFolder("C:\\Fotelix\\a.new.1");
  MakeFile("C:\\Victim\\kept.txt", "victim");
  std::vector<std::string> taken = {"a.new", "a.new.1"};
  // A link to a file and one to nowhere, where the system can make them (not
  // the Windows build under Wine).
  std::error_code ec;
  fs::create_symlink(os_->HostPath("C:\\Victim\\kept.txt"), os_->HostPath("C:\\Fotelix") / "a.new.2", ec);
  if (!ec)
    fs::create_symlink(os_->HostPath("C:\\Victim") / "made.txt", os_->HostPath("C:\\Fotelix") / "a.new.3",
                       ec);
  if (!ec) taken.insert(taken.end(), {"a.new.2", "a.new.3"});
  const std::string first = "C:\\Fotelix\\a.new." + std::to_string(taken.size());
  for (const std::string& name : taken) EXPECT_EQ(os_->TryCreateNewFile("C:\\Fotelix\\" + name), nullptr) << name;
  std::string made;
  auto file = CreateNewFile(*os_, "C:\\Fotelix\\a.new", made);
  file->Write("new", 3);
  file->Close();
  EXPECT_EQ(made, first);
  EXPECT_EQ(Content(first), "new");
  EXPECT_EQ(Content("C:\\Fotelix\\a.new"), "left over");
  EXPECT_EQ(Content("C:\\Victim\\kept.txt"), "victim");
  EXPECT_FALSE(os_->FileExists("C:\\Victim\\made.txt"));
  // With every name taken, the failure says why.
  for (int n = 0; n < 16; ++n) MakeFile("C:\\Full\\b.tmp" + (n ? "." + std::to_string(n) : ""));
  try {
    CreateNewFile(*os_, "C:\\Full\\b.tmp", made);
    ADD_FAILURE() << made;
  } catch (const EPlatformError& e) {
    EXPECT_EQ(std::string(e.what()),
              "Cannot open for writing \"C:\\Full\\b.tmp.15\": the file exists (error 80)");
  }
}

}  // namespace
