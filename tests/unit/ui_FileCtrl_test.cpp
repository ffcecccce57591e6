#include <gtest/gtest.h>

#include "HostSim_fixture.h"
#include "ui/Application.h"
#include "ui/FileCtrl.h"
#include "ui/Forms.h"

namespace {

// The folder list and the drive box on a simulated C: and D:, with a CD
// drive E: that holds no disk.
class UiFileCtrl : public HostSimTest {
 protected:
  void SetUp() override {
    HostSimTest::SetUp();
    Application().OnException = [this](TObject*, const std::exception& e) { errors.push_back(e.what()); };
    MapDrive('D', TDriveType::Fixed);
    MapDrive('E', TDriveType::CDRom);
    os_->SetVolume('D', "DATA");
    os_->SetVolume('E', "", false);
    MakeFolder("C:\\Program Files\\Fotelix");
    MakeFolder("C:\\Program Files\\Common Files");
    MakeFolder("C:\\windows");
    MakeFolder("D:\\Data\\Images");
    form = std::make_unique<TForm>(nullptr);
    list = form->Create<TDirectoryListBox>(*os_);
    list->SetParent(form.get());
    drives = form->Create<TDriveComboBox>(*os_);
    drives->SetParent(form.get());
    drives->SetDirList(list);
    list->OnChange = [this](TObject*) { changes.push_back(list->Directory()); };
  }
  void TearDown() override {
    form.reset();
    Application().OnException = nullptr;
    HostSimTest::TearDown();
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
  for (const char* bad : {"C:\\Fotelix", "E:\\", "F:\\", "relative\\path", "C:"}) {
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
  EXPECT_EQ(drives->Items(), (std::vector<std::string>{"c:", "d: [DATA]", "e:"}));
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
  // D: is still listed by the box but its disk is gone.
  os_->SetVolume('D', "DATA", false);
  Application().Dispatch(drives, [&] { drives->SelectByUser(1); });
  Application().Dispatch(drives, [&] { drives->SelectByUser(2); });
  EXPECT_EQ(errors, (std::vector<std::string>{"The drive D: is not ready.", "The drive E: is not ready."}));
  EXPECT_EQ(drives->Drive(), 'C');
  EXPECT_EQ(drives->ItemIndex(), 0);
  EXPECT_EQ(list->Directory(), "C:\\windows");
}

TEST_F(UiFileCtrl, FreeingEitherSideUnbindsTheOther) {
  auto box = std::make_unique<TDriveComboBox>(nullptr, *os_);
  box->SetDirList(list);
  EXPECT_EQ(drives->DirList(), nullptr);
  box.reset();
  EXPECT_EQ(list->DriveCombo(), nullptr);
  list->SetDirectory("D:\\");
}

}  // namespace
