#include "lib/LIB_FindFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "platform/Path.h"
#include "unit/HostSim_fixture.h"

namespace {

using Paths = std::vector<std::string>;

class FindFilesTest : public HostSimTest {
 protected:
  Paths Find(const std::string& masks, uint8_t driveKind, const std::string& folders,
             int32_t maxCount = 0, const TFindFilter& filter = nullptr) {
    percents.clear();
    return FindFiles(*os_, masks, driveKind, folders, maxCount, filter, [this](uint8_t percent) {
      percents.push_back(percent);
      return false;
    });
  }
  std::vector<int> percents;
};

TEST_F(FindFilesTest, MasksAreParsedAndDefaulted) {
  MakeFile("C:\\a.txt");
  MakeFile("C:\\Sub\\b.exe");
  MakeFile("C:\\Sub\\noext");
  // Folders match a mask as well as files do.
  const Paths all = {"C:\\a.txt", "C:\\Sub", "C:\\Sub\\b.exe", "C:\\Sub\\noext"};
  struct Case {
    const char* masks;
    Paths expected;
  };
  const Case cases[] = {
      {"", all},
      {"   ", all},
      {" ; ;; ", all},
      {"*", all},
      {"*.*", all},
      {" *.exe ", {"C:\\Sub\\b.exe"}},
      {"*.exe;*.txt", {"C:\\a.txt", "C:\\Sub\\b.exe"}},
      {"*.EXE; B.*", {"C:\\Sub\\b.exe"}},  // two masks, one file, added once
      {"*.doc", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(Find(c.masks, 1, ""), c.expected) << '"' << c.masks << '"';
}

TEST_F(FindFilesTest, DriveKindsChooseTheRoots) {
  MapDrive('D', TDriveType::Removable);
  MapDrive('E', TDriveType::CDRom);
  MapDrive('F', TDriveType::Remote);
  MapDrive('G', TDriveType::RamDisk);
  MapDrive('H', TDriveType::Unknown);
  MapDrive('I', TDriveType::NoRootDir);
  for (const char* drive : {"C", "D", "E", "F", "G", "H", "I"}) MakeFile(std::string(drive) + ":\\x.dat");
  MakeFile("D:\\work\\y.dat");
  os_->SetCurrentFolder("D:\\work");
  struct Case {
    uint8_t kind;
    const char* folders;
    Paths expected;
  };
  const Case cases[] = {
      {0, "", {"D:\\work\\y.dat", "D:\\x.dat"}},
      {1, "", {"C:\\x.dat"}},
      {2, "", {"C:\\x.dat", "D:\\work\\y.dat", "D:\\x.dat", "G:\\x.dat"}},
      {3, "", {"C:\\x.dat", "D:\\work\\y.dat", "D:\\x.dat", "E:\\x.dat", "F:\\x.dat", "G:\\x.dat"}},
      {4, "", {}},
      {255, "", {}},
      {4, " H:\\ ; D:\\work", {"D:\\work\\y.dat", "H:\\x.dat"}},  // extra folders, any drive
      {1, "D:\\work\\", {"C:\\x.dat", "D:\\work\\y.dat"}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Find("*.dat", c.kind, c.folders), c.expected) << int{c.kind} << " " << c.folders;
}

TEST_F(FindFilesTest, ProgressSplitsRootsAndSubfolders) {
  MakeFolder("C:\\One\\A");
  MakeFolder("C:\\One\\B");
  MakeFolder("C:\\Two");
  struct Case {
    const char* folders;
    std::vector<int> percents;
  };
  const Case cases[] = {
      {"", {1, 99, 100}},  // no root at all
      // One root: 1,000 to 998,000; its first subfolder gets an eighth of
      // that width (to 125,625), the second an eighth of the rest (234,671).
      {"C:\\One", {1, 12, 23, 99, 99, 100}},
      // Two roots: 1,000 to 499,000 and 500,000 to 998,000.
      {"C:\\Two;C:\\Two\\", {1, 49, 99, 99, 100}},
  };
  for (const Case& c : cases) {
    Find("*.*", 4, c.folders);
    EXPECT_EQ(percents, c.percents) << c.folders;
  }
}

TEST_F(FindFilesTest, HiddenFoldersAreSkippedHiddenFilesFound) {
  MakeFile("C:\\Apps\\Fotelix.exe");
  MakeFile("C:\\Apps\\Hidden\\Fotelix.exe");
  MakeFile("C:\\Apps\\System\\Fotelix.exe");
  MakeFile("C:\\Apps\\Other\\FOTELIX.EXE");
  os_->SetAttributes("C:\\Apps\\Hidden", faHidden);
  os_->SetAttributes("C:\\Apps\\System", faSysFile | faReadOnly);
  os_->SetAttributes("C:\\Apps\\Other\\FOTELIX.EXE", faHidden | faSysFile);
  EXPECT_EQ(Find("Fotelix.exe", 1, ""),
            (Paths{"C:\\Apps\\Fotelix.exe", "C:\\Apps\\Other\\FOTELIX.EXE",
                   "C:\\Apps\\System\\Fotelix.exe"}));
}

TEST_F(FindFilesTest, DuplicatesInOtherCaseAreAddedOnce) {
  MakeFile("C:\\Data\\Fotelix.exe");
  MakeFile("C:\\Data\\b.exe");
  MakeFile("C:\\Data\\A.exe");
  // The same folder twice in different case: its files are found once, in
  // the spelling of the first root, sorted without regard to case.
  EXPECT_EQ(Find("*.exe", 4, "C:\\DATA;c:\\data"),
            (Paths{"C:\\DATA\\A.exe", "C:\\DATA\\b.exe", "C:\\DATA\\Fotelix.exe"}));
}

TEST_F(FindFilesTest, MaxCountLimitsTheResultNotTheWalk) {
  MakeFile("C:\\1\\a.exe");
  MakeFile("C:\\2\\b.exe");
  MakeFile("C:\\3\\c.exe");
  const Paths all = Find("*.exe", 1, "");
  const std::vector<int> fullWalk = percents;
  EXPECT_EQ(all.size(), 3u);
  EXPECT_EQ(Find("*.exe", 1, "", 1), Paths{"C:\\1\\a.exe"});
  EXPECT_EQ(percents, fullWalk);
  EXPECT_EQ(percents.back(), 100);
  EXPECT_EQ(Find("*.exe", 1, "", 2).size(), 2u);
}

TEST_F(FindFilesTest, FilterDecidesAndRejectedPathsStayOut) {
  MakeFile("C:\\good.exe", "MZ");
  MakeFile("C:\\bad.exe", "\xFF");
  MakeFile("C:\\empty.exe");
  std::vector<std::string> asked;
  const Paths found = Find("*.exe", 1, "", 0, [&](const std::string& path) {
    asked.push_back(path);
    return ExtractFileName(path) != "bad.exe";
  });
  EXPECT_EQ(found, (Paths{"C:\\empty.exe", "C:\\good.exe"}));
  EXPECT_EQ(asked.size(), 3u);
}

TEST_F(FindFilesTest, StopEndsTheWalkButStillSortsAndFinishes) {
  MakeFile("C:\\A\\z.txt");
  MakeFile("C:\\A\\M.txt");
  MakeFile("C:\\A\\Deeper\\y.txt");
  MakeFile("C:\\A\\Later\\x.txt");
  MakeFile("C:\\B\\b.txt");
  std::vector<int> seen;
  const Paths found = FindFiles(*os_, "*.txt", 4, "C:\\A;C:\\B", 0, nullptr, [&](uint8_t p) {
    seen.push_back(p);
    return p >= 2 && p < 99;  // asks to stop after the first subfolder, clears at the end
  });
  // The stop came from the report of C:\A\Deeper: no later subfolder and
  // no second root were searched, and what was gathered is still sorted.
  EXPECT_EQ(found, (Paths{"C:\\A\\Deeper\\y.txt", "C:\\A\\M.txt", "C:\\A\\z.txt"}));
  EXPECT_EQ(seen, (std::vector<int>{1, 6, 49, 99, 100}));
}

TEST_F(FindFilesTest, FoldersThatCannotBeListedContributeNothing) {
  MakeFile("C:\\Open\\a.exe");
  MakeFile("C:\\Closed\\b.exe");
  os_->DenyAccess("C:\\Closed");
  EXPECT_EQ(Find("*.exe", 4, "C:\\Closed;C:\\Open;Q:\\Nowhere"), Paths{"C:\\Open\\a.exe"});
}

TEST_F(FindFilesTest, LinksToFoldersAreNotFollowed) {
  MakeFile("C:\\Apps\\Fotelix.exe");
  std::error_code ec;
  std::filesystem::create_directory_symlink(os_->HostPath("C:\\Apps"), os_->HostPath("C:\\Apps\\Loop"), ec);
  if (ec) GTEST_SKIP() << "this system cannot make a link to a folder: " << ec.message();
  EXPECT_EQ(Find("Fotelix.exe", 1, ""), Paths{"C:\\Apps\\Fotelix.exe"});
}

}  // namespace
