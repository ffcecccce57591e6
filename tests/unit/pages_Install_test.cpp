#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app_Wizard_fixture.h"
#include "install/InstallRun.h"
#include "install/SettingsFileReader.h"
#include "install/Uninstall.h"
#include "pages/PNL_Error.h"
#include "pages/PNL_InstallChooseConnection.h"
#include "pages/PNL_InstallChooseDir.h"
#include "pages/PNL_InstallChooseDownloadDir.h"
#include "pages/PNL_InstallGo.h"
#include "pages/PNL_InstallInstalling.h"

namespace {

const char kInvalidFolder[] =
    "Invalid folder.\rThe foldername you choose contains invalid characters or is a root folder.";
const std::string kProgramFiles = "C:\\Program Files";
const std::string kDefaultDir = kProgramFiles + "\\Fotelix\\";

class InstallPagesTest : public WizardTest {
 protected:
  void SetUp() override {
    WizardTest::SetUp();
    MapDrive('D', TDriveType::Fixed);
    for (const auto& [csidl, folder] : {std::pair{kCsidlProgramFiles, kProgramFiles},
                                        std::pair{kCsidlLocalAppData, std::string("C:\\Local")},
                                        std::pair{kCsidlPrograms, std::string("C:\\Menu")},
                                        std::pair{kCsidlDesktopDirectory, std::string("C:\\Desk")}}) {
      MakeFolder(folder);
      os_->SetShellFolder(csidl, folder, 0);
    }
    ::Setup.InstallerEdition = "04";
    form->Show();
  }

  TPnlInstallChooseDir& FolderPage() { return Page<TPnlInstallChooseDir>("PnlInstallChooseDir"); }
  TPNLInstallChooseDownloadDir& DownloadPage() {
    return Page<TPNLInstallChooseDownloadDir>("PNLInstallChooseDownloadDir");
  }
  TPNLInstallChooseConnection& ConnectionPage() {
    return Page<TPNLInstallChooseConnection>("PNLInstallChooseConnection");
  }
  TPNLInstallGo& SummaryPage() { return Page<TPNLInstallGo>("PNLInstallGo"); }

  // From the install-or-upgrade page with its defaults to the folder page.
  void ToFolderPage() {
    form->ShowPage("PnlInstall", true);
    Click("&Next");
    ASSERT_EQ(ActivePage(), "PnlInstallChooseDir");
  }
  // Types into the shown page's field and presses "&Next".
  void Enter(TEdit& field, const std::string& text) {
    field.TextEditedByUser(text);
    Click("&Next");
  }
  size_t Refusals() const {
    size_t n = 0;
    for (const TMessageBoxCall& box : Headless().MessageBoxes) n += box.Text == kInvalidFolder;
    return n;
  }
};

TEST_F(InstallPagesTest, InstallationFolderIsProposedCheckedAndStoredWithABackslash) {
  ToFolderPage();
  EXPECT_EQ(FolderPage().Edit1->Text(), kDefaultDir);
  EXPECT_EQ(FolderPage().DirectoryListBox1->Directory(), kProgramFiles);
  EXPECT_EQ(Buttons(), (std::vector<std::string>{"&Exit", "&Next", "&Previous"}));

  struct Case {
    const char* typed;
    const char* field;   // the field after Next
    const char* stored;  // InstallDir; empty: refused and the page stays
  };
  const Case cases[] = {
      {"c:\\", "c:\\", ""},
      {"C:\\a?b", "C:\\a?b", ""},
      {"  \t", "", ""},
      {" \tC:\\x  ", "C:\\x", "C:\\x\\"},
      {"D:\\Apps\\Fotelix\\", "D:\\Apps\\Fotelix\\", "D:\\Apps\\Fotelix\\"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed);
    ::Setup.InstallDir = "kept";
    form->ShowPage("PnlInstallChooseDir", false);
    Headless().MessageBoxes.clear();
    Enter(*FolderPage().Edit1, c.typed);
    EXPECT_EQ(FolderPage().Edit1->Text(), c.field);
    if (*c.stored) {
      EXPECT_EQ(::Setup.InstallDir, c.stored);
      EXPECT_EQ(ActivePage(), "PNLInstallChooseDownloadDir");
      EXPECT_EQ(Refusals(), 0u);
    } else {
      EXPECT_EQ(::Setup.InstallDir, "kept");
      EXPECT_EQ(ActivePage(), "PnlInstallChooseDir");
      EXPECT_EQ(Refusals(), 1u);
    }
  }

  // Back from the download page the field shows the folder accepted there;
  // "&Previous" forgets it, so the default is proposed again.
  Click("&Previous");
  EXPECT_EQ(FolderPage().Edit1->Text(), "D:\\Apps\\Fotelix\\");
  Click("&Previous");
  EXPECT_EQ(ActivePage(), "PnlInstall");
  EXPECT_EQ(::Setup.InstallDir, "");
  Click("&Next");
  EXPECT_EQ(FolderPage().Edit1->Text(), kDefaultDir);
}

TEST_F(InstallPagesTest, PickedFoldersGetTheProductFolderOnlyOnce) {
  for (const char* folder : {"D:\\Apps", "D:\\Old FOTELIX files", "D:\\fotelix"}) MakeFolder(folder);
  ToFolderPage();
  TDirectoryListBox& list = *FolderPage().DirectoryListBox1;
  const std::pair<const char*, const char*> picks[] = {
      {"D:\\Apps", "D:\\Apps\\Fotelix\\"},
      {"D:\\", "D:\\Fotelix\\"},
      {"D:\\Old FOTELIX files", "D:\\Old FOTELIX files\\"},
      {"D:\\fotelix", "D:\\fotelix\\"},
  };
  for (const auto& [pick, field] : picks) {
    list.SetDirectory(pick);
    EXPECT_EQ(FolderPage().Edit1->Text(), field) << pick;
  }
  // The drive box moves the list, and the field follows.
  FolderPage().DriveComboBox1->SelectByUser(0);
  EXPECT_EQ(FolderPage().Edit1->Text(), "C:\\Fotelix\\");
}

TEST_F(InstallPagesTest, WithoutProgramFilesTheListTriesCFotelix) {
  os_->SetShellFolder(kCsidlProgramFiles, "", static_cast<int32_t>(0x80070002));
  MakeFolder("C:\\Fotelix");
  ToFolderPage();
  EXPECT_EQ(FolderPage().DirectoryListBox1->Directory(), "C:\\Fotelix");
  EXPECT_EQ(FolderPage().Edit1->Text(), "C:\\Fotelix\\");
}

TEST_F(InstallPagesTest, TheEditionCodeShowsTheEditionAndIsNoFolder) {
  ToFolderPage();
  TPnlInstallChooseDir& page = FolderPage();
  page.Edit1->SetFocus();
  page.Edit1->TextEditedByUser(" %!!+47-15QQw ");
  page.DirectoryListBox1->SetFocus();
  EXPECT_EQ(page.Edit1->Text(), "04");
  EXPECT_EQ(::Setup.InstallDir, "");
  EXPECT_EQ(::Setup.InstallerEdition, "04");
  Click("&Next");
  EXPECT_EQ(Refusals(), 1u);
  // Near misses are folders like any other text.
  page.Edit1->SetFocus();
  page.Edit1->TextEditedByUser("%!!+47-15QQW");
  page.DirectoryListBox1->SetFocus();
  EXPECT_EQ(page.Edit1->Text(), "%!!+47-15QQW");
}

TEST_F(InstallPagesTest, DownloadFolderIsProposedOnTheInstallDriveAndStoredAsTyped) {
  ToFolderPage();
  Click("&Next");
  ASSERT_EQ(ActivePage(), "PNLInstallChooseDownloadDir");
  TPNLInstallChooseDownloadDir& page = DownloadPage();
  EXPECT_EQ(page.DirectoryListBox1->Directory(), "C:\\");
  EXPECT_EQ(page.Edit1->Text(), "C:\\Images\\");
  const std::string text = page.StaticText1->Caption();
  EXPECT_EQ(text.substr(0, 35), "The download  folder is the folder\r");
  const std::string end = "\rpropose as default, C:\\Images";
  EXPECT_EQ(text.substr(text.size() - end.size()), end);

  // A root is refused; a typed folder is stored without an added backslash.
  Enter(*page.Edit1, "D:\\");
  EXPECT_EQ(Refusals(), 1u);
  Enter(*page.Edit1, " D:\\Pictures ");
  EXPECT_EQ(::Setup.DownloadDir, "D:\\Pictures");
  ASSERT_EQ(ActivePage(), "PNLInstallChooseConnection");

  // On return the list starts at "D:\P" (the stored text without "Images\"),
  // which is missing, so at C:\; the field shows the stored folder.
  Click("&Previous");
  EXPECT_EQ(page.DirectoryListBox1->Directory(), "C:\\");
  EXPECT_EQ(page.Edit1->Text(), "D:\\Pictures");
  const std::string again = page.StaticText1->Caption();
  EXPECT_EQ(again.substr(again.size() - 9), "C:\\Images");

  // Picks get "Images" unless they name it.
  MakeFolder("D:\\My IMAGES");
  page.DirectoryListBox1->SetDirectory("D:\\My IMAGES");
  EXPECT_EQ(page.Edit1->Text(), "D:\\My IMAGES\\");
  page.DirectoryListBox1->SetDirectory("D:\\");
  EXPECT_EQ(page.Edit1->Text(), "D:\\Images\\");

  // "&Previous" forgets the folder: the proposal is made afresh from
  // InstallDir, here on drive D:.
  Click("&Previous");
  EXPECT_EQ(::Setup.DownloadDir, "");
  Enter(*FolderPage().Edit1, "D:\\Fotelix");
  EXPECT_EQ(page.Edit1->Text(), "D:\\Images\\");
}

TEST_F(InstallPagesTest, ConnectionSelectionComesFromTheStoredKindOnEveryEntry) {
  form->ShowPage("PNLInstallChooseConnection", true);
  TRadioGroup& group = *ConnectionPage().rgConnection;
  EXPECT_EQ(group.Items(), (std::vector<std::string>{"Dial-up &Modem < 56KBS", "Dial-up M&odem 56K",
                                                     "&ISDN", "&ADSL / DSL", "&Cable", "&T1", "T&2",
                                                     "ADSL 2", "I &don't know"}));
  EXPECT_EQ(group.ItemIndex(), 8);

  group.Button(2)->SetChecked(true);  // "&ISDN"
  Click("&Next");
  EXPECT_EQ(::Setup.ConnectionKind, 2);
  EXPECT_EQ(ActivePage(), "PNLInstallGo");
  Click("&Previous");
  EXPECT_EQ(ActivePage(), "PNLInstallChooseConnection");
  EXPECT_EQ(group.ItemIndex(), 2);
  // A choice left by "&Previous" is not kept.
  group.Button(4)->SetChecked(true);  // "&Cable"
  Click("&Previous");
  EXPECT_EQ(ActivePage(), "PNLInstallChooseDownloadDir");
  form->ShowPage("PNLInstallChooseConnection", true);
  EXPECT_EQ(group.ItemIndex(), 2);
  EXPECT_EQ(::Setup.ConnectionKind, 2);

  // A kind of no item selects nothing, and Next refuses.
  ::Setup.ConnectionKind = 9;
  form->ShowPage("PNLInstallChooseConnection", true);
  EXPECT_EQ(group.ItemIndex(), -1);
  Click("&Next");
  ASSERT_EQ(Headless().MessageBoxes.size(), 1u);
  EXPECT_EQ(Headless().MessageBoxes[0].Text, "Choose a connection first");
  EXPECT_EQ(ActivePage(), "PNLInstallChooseConnection");
}

TEST_F(InstallPagesTest, SummaryShowsTheChoicesAsStored) {
  ::Setup.InstallDir = kDefaultDir;
  ::Setup.DownloadDir = "D:\\Pictures";
  for (const bool shortcut : {true, false}) {
    ::Setup.CreateDesktopShortcut = shortcut;
    form->ShowPage("PNLInstallGo", true);
    TPNLInstallGo& page = SummaryPage();
    EXPECT_EQ(page.Label6->Caption(), "Installation folder = C:\\Program Files\\Fotelix\\");
    EXPECT_EQ(page.Label7->Caption(), "Download folder = D:\\Pictures");
    EXPECT_EQ(page.Label8->Caption(), std::string("Create shortcut on desktop = ") + (shortcut ? "Yes" : "No"));
  }
  EXPECT_EQ(Buttons(), (std::vector<std::string>{"&Exit", "&Install Now", "&Previous"}));
}

TEST_F(InstallPagesTest, InstallRunsToTheFinishedPageAndIgnoresTheHeader) {
  // The run lets messages through at every step; the user clicks the header
  // at the first of them.
  std::string pageAfterClick;
  bool clicked = false;
  Headless().AfterMessages = [&] {
    if (!form->RunWorking() || clicked) return;
    clicked = true;
    form->PnlHeader->Click();
    pageAfterClick = ActivePage();
  };
  ::Setup.InstallDir = kDefaultDir;
  ::Setup.DownloadDir = "C:\\Images\\";
  ::Setup.CreateDesktopShortcut = true;
  form->ShowPage("PNLInstallGo", true);
  Click("&Install Now");

  EXPECT_EQ(pageAfterClick, "PNLInstallInstalling");
  EXPECT_EQ(ActivePage(), "PNLInstallReady");
  EXPECT_FALSE(form->RunWorking());
  auto& installing = Page<TPNLInstallInstalling>("PNLInstallInstalling");
  EXPECT_EQ(installing.Label12->Caption(), "99% complete");
  EXPECT_EQ(installing.ProgressBar1->Max(), InstallProgressMax());
  for (const std::string& file : {kDefaultDir + "Fotelix.Exe", kDefaultDir + "Uninstall.Exe",
                                  kDefaultDir + "FXInst.Dat", kDefaultDir + "UnInstall.dat",
                                  std::string("C:\\Local\\Fotelix\\Fotelix.Dat"),
                                  std::string("C:\\Desk\\Fotelix.Lnk")})
    EXPECT_TRUE(os_->FileExists(file)) << file;
  EXPECT_EQ(Buttons(), (std::vector<std::string>{"&Exit", "&Start Fotelix"}));
  EXPECT_EQ(form->PnlButtons->RightButton(1)->Width(), 120);

  // Shown again, the page starts from nothing.
  installing.EnterPage();
  EXPECT_EQ(installing.Label12->Caption(), "0% complete");
}

TEST_F(InstallPagesTest, AFailedInstallEndsOnTheErrorPageNamingTheFile) {
  // Room for the folders but not for the program file, over an earlier install.
  MakeFile(kDefaultDir + "Fotelix.Exe", "MZ previous program");
  os_->SetDiskSpace('C', 1000);
  ::Setup.InstallDir = kDefaultDir;
  form->ShowPage("PNLInstallGo", true);
  Click("&Install Now");
  EXPECT_EQ(ActivePage(), "PnlError");
  EXPECT_EQ(ErrorPage->StaticText1->Caption(),
            "Cannot create file C:\\Program Files\\Fotelix\\Fotelix.Exe: the disk is full (error 112)");
  EXPECT_FALSE(form->RunWorking());
  EXPECT_FALSE(os_->FileExists(kDefaultDir + "Fotelix.Exe.new"));
  EXPECT_EQ(Content(kDefaultDir + "Fotelix.Exe"), "MZ previous program");
  EXPECT_TRUE(PartsInPlace());
}

// Folder texts that go wrong on a real system: too long for the Windows
// path limit, letters beyond ASCII (code page 1252), a drive that is not there.
TEST_F(InstallPagesTest, OddFolderTextsAreRefusedByNameOrInstall) {
  const std::string tooLong = "Invalid folder.\rThe foldername you choose is longer than 245 characters.";
  ToFolderPage();
  for (size_t length : {250u, 400u}) {
    Headless().MessageBoxes.clear();
    Enter(*FolderPage().Edit1, "C:\\" + std::string(length - 4, 'a') + "\\");
    EXPECT_EQ(ActivePage(), "PnlInstallChooseDir") << length;
    ASSERT_EQ(Headless().MessageBoxes.size(), 1u) << length;
    EXPECT_EQ(Headless().MessageBoxes[0].Text, tooLong);
  }
  const std::string longest = "C:\\" + std::string(242, 'a');
  Enter(*FolderPage().Edit1, longest);
  EXPECT_EQ(::Setup.InstallDir, longest + "\\");

  // "C:\Bilder für Ärzte\" installs, and the settings file keeps its bytes.
  const std::string umlauts = "C:\\Bilder f\xFCr \xC4rzte\\";
  ::Setup.InstallDir = umlauts;
  ::Setup.DownloadDir = umlauts + "Images";
  form->ShowPage("PNLInstallGo", true);
  Click("&Install Now");
  ASSERT_EQ(ActivePage(), "PNLInstallReady");
  EXPECT_TRUE(os_->FileExists(umlauts + "Fotelix.Exe"));
  const TProductSettings settings = LoadProductSettings(*os_, umlauts);
  EXPECT_EQ(settings.Problem, "");
  EXPECT_EQ(settings.DownloadDir, umlauts + "Images");

  // A drive that does not exist: the text passes, the run takes the fallback.
  form->ShowPage("PnlInstallChooseDir", false);
  Enter(*FolderPage().Edit1, "Q:\\Fotelix\\");
  EXPECT_EQ(::Setup.InstallDir, "Q:\\Fotelix\\");
  form->ShowPage("PNLInstallGo", true);
  Click("&Install Now");
  ASSERT_EQ(ActivePage(), "PNLInstallReady");
  EXPECT_EQ(::Setup.InstallDir, kDefaultDir);
  EXPECT_TRUE(os_->FileExists(kDefaultDir + "Fotelix.Exe"));
}

// A chosen folder that takes no new files (a standard user in a protected
// folder) ends on the error page with the reason. One that cannot be made,
// with a local application data folder that takes no files: the run falls
// back, and the finished page starts the product where it really went.
TEST_F(InstallPagesTest, UnwritableFoldersEndOrFallBackAndTheProductStartsFromThere) {
  MakeFolder("D:\\Protected");
  os_->DenyAccess("D:\\Protected");
  ::Setup.InstallDir = "D:\\Protected\\";
  form->ShowPage("PNLInstallGo", true);
  Click("&Install Now");
  ASSERT_EQ(ActivePage(), "PnlError");
  EXPECT_EQ(ErrorPage->StaticText1->Caption(),
            "Cannot install Fotelix in \"D:\\Protected\\\": access is denied (error 5)");

  MakeFolder("C:\\Local\\Fotelix");
  os_->DenyAccess("C:\\Local\\Fotelix");
  ::Setup.InstallDir = "D:\\Protected\\Fotelix\\";
  form->ShowPage("PNLInstallGo", true);
  Click("&Install Now");
  ASSERT_EQ(ActivePage(), "PNLInstallReady");
  EXPECT_EQ(::Setup.InstallDir, kDefaultDir);
  EXPECT_EQ(::Setup.DataDir, kDefaultDir);
  for (const char* file : {"Fotelix.Exe", "Fotelix.Dat", "UnInstall.dat"})
    EXPECT_TRUE(os_->FileExists(kDefaultDir + file)) << file;
  EXPECT_FALSE(os_->FileExists(kDefaultDir + "~FXProbe.tmp"));
  EXPECT_EQ(LoadProductSettings(*os_, kDefaultDir).Problem, "");
  Click("&Start Fotelix");
  EXPECT_EQ(os_->StartedAsUser(),
            (std::vector<std::pair<std::string, int>>{{kDefaultDir + "Fotelix.Exe", 3}}));
}

// The product starts as the signed-in user. A failed start, and an elevated
// setup whose desktop shell does not answer, start nothing (never as
// administrator), and the window closes all the same.
TEST_F(InstallPagesTest, StartFotelixStartsTheProductAsTheUserAndCloses) {
  ::Setup.InstallDir = kDefaultDir;
  for (const int round : {0, 1, 2}) {
    SCOPED_TRACE(round);
    os_->FailStartProgram(round == 1);
    os_->SetElevated(round == 2);
    os_->SetDesktopShell(round != 2);
    form->Show();
    form->ShowPage("PNLInstallReady", true);
    Click("&Start Fotelix");
    EXPECT_FALSE(form->Visible());
  }
  EXPECT_EQ(os_->StartedAsUser(),
            (std::vector<std::pair<std::string, int>>{{kDefaultDir + "Fotelix.Exe", 3}}));
  EXPECT_TRUE(os_->StartedPrograms().empty());
  form->Show();
  Click("&Exit");
  EXPECT_FALSE(form->Visible());
}

}  // namespace
