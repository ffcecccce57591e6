#include <gtest/gtest.h>

#include "ui/Application.h"
#include "ui/FileCtrl.h"
#include "ui/Forms.h"
#include "ui/headless/HeadlessBackend.h"

namespace {

THeadlessBackend& Headless() { return dynamic_cast<THeadlessBackend&>(Application().Backend()); }

class UiFileCtrl : public ::testing::Test {
 protected:
  void SetUp() override {
    Application().OnException = [this](TObject*, const std::exception& e) { errors.push_back(e.what()); };
    auto& tree = Headless().FolderTree();
    tree.Clear();
    tree.AddFolder("C:\\Program Files\\Fotelix");
    tree.AddFolder("C:\\Program Files\\Common Files");
    tree.AddFolder("C:\\windows");
    tree.AddFolder("D:\\Data\\Images");
    tree.SetVolumeLabel('d', "DATA");
    form = std::make_unique<TForm>(nullptr);
    list = form->Create<TDirectoryListBox>();
    list->SetParent(form.get());
    drives = form->Create<TDriveComboBox>();
    drives->SetParent(form.get());
    drives->SetDirList(list);
    list->OnChange = [this](TObject*) { changes.push_back(list->Directory()); };
  }
  void TearDown() override {
    form.reset();
    Headless().FolderTree().Clear();
    Application().OnException = nullptr;
  }
  std::vector<std::string> Captions() const {
    std::vector<std::string> result;
    for (const auto& item : list->Items()) result.push_back(std::string(item.Level, ' ') + item.Caption);
    return result;
  }

  std::unique_ptr<TForm> form;
  TDirectoryListBox* list = nullptr;
  TDriveComboBox* drives = nullptr;
  std::vector<std::string> changes;
  std::vector<std::string> errors;
};

TEST_F(UiFileCtrl, ListShowsThePathDownAndTheSubFoldersInNameOrder) {
  list->SetDirectory("c:\\program files\\");
  EXPECT_EQ(list->Directory(), "C:\\program files");
  EXPECT_EQ(Captions(), (std::vector<std::string>{"C:\\", " program files", "  Common Files", "  Fotelix"}));
  EXPECT_EQ(list->ItemIndex(), 1);
  EXPECT_EQ(list->Items()[3].Path, "C:\\program files\\Fotelix");
  list->SetDirectory("C:\\");
  EXPECT_EQ(list->Directory(), "C:\\");
  EXPECT_EQ(Captions(), (std::vector<std::string>{"C:\\", " Program Files", " windows"}));
  EXPECT_EQ(changes, (std::vector<std::string>{"C:\\program files", "C:\\"}));
  EXPECT_EQ(list->ItemHeight, 16);
}

TEST_F(UiFileCtrl, MissingFolderRaisesAndTheListStays) {
  list->SetDirectory("C:\\windows");
  for (const char* bad : {"C:\\Fotelix", "E:\\", "relative\\path", "C:"}) {
    EXPECT_THROW(list->SetDirectory(bad), std::runtime_error) << bad;
    EXPECT_EQ(list->Directory(), "C:\\windows");
  }
  list->SetDirectory("");  // an empty path leaves the list alone
  EXPECT_EQ(list->Directory(), "C:\\windows");
  list->SetDirectory("C:\\windows\\");  // the same folder: no change event
  EXPECT_EQ(changes.size(), 1u);
}

TEST_F(UiFileCtrl, OpeningAnItemMovesAndRunsBothEvents) {
  std::vector<std::string> log;
  list->OnChange = [&](TObject*) { log.push_back("change " + list->Directory()); };
  list->OnDblClick = [&](TObject*) { log.push_back("dblclick " + list->Directory()); };
  list->SetDirectory("C:\\Program Files");
  list->SelectByUser(3);
  EXPECT_EQ(list->Directory(), "C:\\Program Files");
  list->OpenByUser(3);
  list->OpenByUser(2);  // the current folder
  EXPECT_EQ(log, (std::vector<std::string>{"change C:\\Program Files", "change C:\\Program Files\\Fotelix",
                                           "dblclick C:\\Program Files\\Fotelix", "dblclick C:\\Program Files\\Fotelix"}));
}

TEST_F(UiFileCtrl, DriveBoxAndListFollowEachOther) {
  EXPECT_EQ(drives->Items(), (std::vector<std::string>{"c:", "d: [DATA]"}));
  list->SetDirectory("D:\\Data\\Images");
  EXPECT_EQ(drives->Drive(), 'D');
  EXPECT_EQ(drives->ItemIndex(), 1);
  drives->SelectByUser(0);
  EXPECT_EQ(list->Directory(), "C:\\");
  EXPECT_EQ(drives->Text(), "c:");
  EXPECT_THROW(drives->SetDrive('Q'), std::runtime_error);
  EXPECT_EQ(drives->Drive(), 'C');
}

TEST_F(UiFileCtrl, UnreadableDriveKeepsBothWhereTheyWere) {
  list->SetDirectory("C:\\windows");
  Headless().FolderTree().Clear();
  Headless().FolderTree().AddFolder("C:\\windows");
  // D: is still listed by the box but cannot be read any more.
  Application().Dispatch(drives, [&] { drives->SelectByUser(1); });
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "The folder \"D:\\\" does not exist.");
  EXPECT_EQ(drives->Drive(), 'C');
  EXPECT_EQ(drives->ItemIndex(), 0);
  EXPECT_EQ(list->Directory(), "C:\\windows");
}

TEST_F(UiFileCtrl, FreeingEitherSideUnbindsTheOther) {
  auto box = std::make_unique<TDriveComboBox>(nullptr);
  box->SetDirList(list);
  EXPECT_EQ(drives->DirList(), nullptr);
  box.reset();
  EXPECT_EQ(list->DriveCombo(), nullptr);
  list->SetDirectory("D:\\");
}

TEST(UiHeadlessFolders, RefusesPathsThatAreNotFull) {
  THeadlessFolders tree;
  for (const char* bad : {"", "C:", "Data\\x", "1:\\x", "C:\\a\\\\b"}) EXPECT_THROW(tree.AddFolder(bad), std::invalid_argument) << bad;
  tree.AddFolder("c:\\A\\b");
  EXPECT_TRUE(tree.FolderExists("C:\\a\\B\\"));
  EXPECT_EQ(tree.Drives(), "C");
  EXPECT_THROW(tree.SubFolders("C:\\x"), std::runtime_error);
}

}  // namespace
