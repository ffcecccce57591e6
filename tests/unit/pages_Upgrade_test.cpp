#include <gtest/gtest.h>

#include "app/Appl_CommandLine.h"
#include "app_Wizard_fixture.h"
#include "install/PayloadSources.h"
#include "install/SettingsFileReader.h"
#include "install/UpgradeRun.h"
#include "pages/PNL_Error.h"
#include "pages/PNL_Install.h"
#include "pages/PNL_UpgradeFindDir.h"
#include "pages/PNL_UpgradeReady.h"
#include "pages/PNL_UpgradeStart.h"
#include "pages/PNL_UpgradeUpgrading.h"
#include "unit/RunFakes.h"

namespace {

const std::string kProgramFiles = "C:\\Program Files\\Fotelix\\";

class UpgradePagesTest : public WizardTest {
 protected:
  TPnlUpgradeFindDir& Search() { return Page<TPnlUpgradeFindDir>("PnlUpgradeFindDir"); }
  TPNLUpgradeStart& Choice() { return Page<TPNLUpgradeStart>("PNLUpgradeStart"); }
  TPNLUpgradeUpgrading& Upgrading() { return Page<TPNLUpgradeUpgrading>("PNLUpgradeUpgrading"); }
};

// The user's route: upgrade chosen, the search, the choice among the copies
// found, the run while the product still holds its program file, the
// finished page and the start of the product.
TEST_F(UpgradePagesTest, FindsChoosesUpgradesAndStartsTheProduct) {
  MapDrive('D', TDriveType::Fixed);
  MapDrive('E', TDriveType::Removable);
  MakeFile(kProgramFiles + "Fotelix.exe", "MZ old program");
  MakeFile(kProgramFiles + "Fotelix.Dat", "user's settings");
  MakeFile(kProgramFiles + "FXInst.Dat", "setup's settings");
  MakeFile("C:\\alpha\\FOTELIX.EXE", "\xE6");           // 230: accepted
  MakeFile("D:\\Empty\\Fotelix.exe", "");               // reads as 26: accepted
  MakeFile("D:\\Newer\\Fotelix.exe", "\xE7");           // 231: a newer copy, rejected
  MakeFile("D:\\Denied\\Fotelix.exe", "MZ");            // cannot be read: rejected
  os_->DenyAccess("D:\\Denied\\Fotelix.exe");
  MakeFile("E:\\Fotelix\\Fotelix.exe", "MZ");           // not a fixed disk
  // The running product: the file can be read, not replaced.
  os_->LockFile(kProgramFiles + "Fotelix.exe");

  std::vector<std::string> searchCaptions;
  std::vector<std::string> notices;
  Headless().AfterMessages = [&] {
    const std::string caption = Search().Label12->Caption();
    if (searchCaptions.empty() || searchCaptions.back() != caption) searchCaptions.push_back(caption);
    const std::string notice = Upgrading().Label1->Caption();
    if (notices.empty() || notices.back() != notice) notices.push_back(notice);
    // The user ends the product while the notice shows.
    if (notice == UpgradeRetryMessage(1)) os_->LockFile(kProgramFiles + "Fotelix.exe", false);
  };

  form->ShowPage("PnlInstall", false);
  Page<TPnlInstall>("PnlInstall").RadioButton2->SetChecked(true);
  Click("&Next");

  EXPECT_EQ(Search().StaticText4->Caption(),
            "Now searching for installed Fotelix versions on your hard disks.\r"
            "All disks are scanned to find all installations.\r"
            "This can take a few moments.");
  // From 0 to 100, then 0 again for the next time.
  ASSERT_GT(searchCaptions.size(), 4u);
  EXPECT_EQ(searchCaptions.front(), "0% complete");
  EXPECT_EQ(searchCaptions[searchCaptions.size() - 2], "100% complete");
  EXPECT_EQ(searchCaptions.back(), "0% complete");
  EXPECT_EQ(Search().Label12->Caption(), "0% complete");
  EXPECT_EQ(Search().ProgressBar1->Position(), 0);
  EXPECT_TRUE(Headless().MessageBoxes.empty());

  ASSERT_EQ(ActivePage(), "PNLUpgradeStart");
  EXPECT_EQ(form->PnlHeader->Caption(), "Ready to upgrade");
  EXPECT_EQ(Buttons(), (std::vector<std::string>{"&Exit", "&Upgrade", "&Previous"}));
  EXPECT_EQ(Choice().ComboBoxUpgrade->Items(),
            (std::vector<std::string>{"C:\\alpha\\", kProgramFiles, "D:\\Empty\\"}));
  EXPECT_EQ(Choice().ComboBoxUpgrade->ItemIndex(), 0);
  // A screen reader names the list after the text above it.
  EXPECT_EQ(Choice().ComboBoxUpgrade->AccessibleInfo().Name, "Upgrade and repair Fotelix installed in:");
  // The page was filled before the window was ever shown: the focus waited.
  EXPECT_FALSE(Choice().ComboBoxUpgrade->Focused());
  form->Show();
  EXPECT_TRUE(Choice().ComboBoxUpgrade->Focused());

  Choice().ComboBoxUpgrade->SelectByUser(1);
  Click("&Upgrade");
  EXPECT_EQ(notices, (std::vector<std::string>{".", UpgradeRetryMessage(1), ""}));
  EXPECT_EQ(Upgrading().Label12->Caption(), "100% complete");
  const TAccessibleInfo bar = Upgrading().ProgressBar1->AccessibleInfo();
  EXPECT_EQ(bar.Name + ": " + bar.Value, "Upgrading Fotelix: 100%");
  EXPECT_EQ(os_->SleptMilliseconds(), 15u * 1000);

  ASSERT_EQ(ActivePage(), "PNLUpgradeReady");
  EXPECT_EQ(::Setup.InstallDir, kProgramFiles);
  EXPECT_EQ(Buttons(), (std::vector<std::string>{"&Exit", "&Start Fotelix"}));
  EXPECT_TRUE(Content(kProgramFiles + "Fotelix.Exe") == BuiltProgram(kProgramSourceFile));
  EXPECT_TRUE(Content(kProgramFiles + "Uninstall.Exe") == BuiltProgram(kUninstallerSourceFile));
  const auto items = ReadSettingsFile(Content(kProgramFiles + "Fotelix.BAK"), TSettingsForm::Upgrade);
  ASSERT_GE(items.size(), 4u);
  EXPECT_EQ(items[3].Value, kProgramFiles + "Cache\\");
  EXPECT_EQ(Content(kProgramFiles + "Fotelix.Dat"), "user's settings");
  EXPECT_EQ(Content(kProgramFiles + "FXInst.Dat"), "setup's settings");
  EXPECT_EQ(Content("C:\\alpha\\FOTELIX.EXE"), "\xE6");
  EXPECT_TRUE(os_->StartedAsUser().empty());

  Click("&Start Fotelix");
  const std::vector<std::pair<std::string, int>> started = {
      {kProgramFiles + "Fotelix.Exe", kSwShowMaximized}};
  EXPECT_EQ(os_->StartedAsUser(), started);
  EXPECT_FALSE(form->Visible());
  EXPECT_TRUE(os_->ExitCodes().empty());
}

// An elevated search offers only the copies that an upgrade may write into:
// a copy that another user planted where it sorts first, and one below a
// level that every user may change, are left out; a copy that an older
// setup left in a folder open to all is offered, to be closed to others.
TEST_F(UpgradePagesTest, AnElevatedSearchLeavesOutCopiesThatOthersCanChange) {
  using THost = THostSimPlatform;
  os_->SetFolderSecurity("C:\\Program Files", THost::kTrustedInstaller,
                         {THost::kTrustedInstaller, THost::kSystem, THost::kAdministrators});
  MakeFile(kProgramFiles + "Fotelix.exe", "MZ");
  MakeFile("C:\\Fotelix\\Fotelix.exe", "MZ");
  MakeFile("C:\\Apps\\Fotelix\\Fotelix.exe", "MZ");
  ASSERT_TRUE(os_->MakeFolderAs("Mallory", "C:\\0"));
  ASSERT_TRUE(os_->WriteFileAs("Mallory", "C:\\0\\Fotelix.exe", "MZ hers"));
  os_->SetElevated(true);
  form->ShowPage("PnlInstall", false);
  Page<TPnlInstall>("PnlInstall").RadioButton2->SetChecked(true);
  Click("&Next");
  ASSERT_EQ(ActivePage(), "PNLUpgradeStart");
  EXPECT_EQ(Choice().ComboBoxUpgrade->Items(), (std::vector<std::string>{"C:\\Fotelix\\", kProgramFiles}));
  EXPECT_EQ(Choice().ComboBoxUpgrade->ItemIndex(), 0);
}

// A drive that goes away while it is searched (a disk unplugged, a network
// drive lost): the search ends with what it found, without a message or a hang.
TEST_F(UpgradePagesTest, ADriveThatVanishesDuringTheSearchEndsItCleanly) {
  MapDrive('D', TDriveType::Fixed);
  MakeFile("C:\\alpha\\Fotelix.exe", "\xE6");
  for (int i = 0; i < 40; ++i) MakeFolder("D:\\f" + std::to_string(i) + "\\sub");
  MakeFile("D:\\f39\\sub\\Fotelix.exe", "\xE6");
  int pumps = 0;
  std::string vanishedAt;
  Headless().AfterMessages = [&] {
    if (ActivePage() == "PnlUpgradeFindDir" && form->RunWorking() && ++pumps == 20) {
      os_->SetVolume('D', "", false);
      vanishedAt = Search().Label12->Caption();
    }
  };
  form->ShowPage("PnlInstall", false);
  Page<TPnlInstall>("PnlInstall").RadioButton2->SetChecked(true);
  Click("&Next");
  EXPECT_NE(vanishedAt, "");
  EXPECT_NE(vanishedAt, "0% complete");
  EXPECT_TRUE(Headless().MessageBoxes.empty());
  ASSERT_EQ(ActivePage(), "PNLUpgradeStart");
  EXPECT_EQ(Choice().ComboBoxUpgrade->Items(), std::vector<std::string>{"C:\\alpha\\"});
}

// The product starts the update with its folder, unquoted; a key pressed at
// once starts a slide that the start timer interrupts. The run starts only
// once its page is in place, and the setup program ends with code 0 after
// starting the product. A folder that cannot be made ends on the error page.
TEST_F(UpgradePagesTest, AutomaticUpdateRunsInPlaceAndEnds) {
  MakeFile(kProgramFiles + "Fotelix.exe", "MZ old program");
  Start({"/autoupdate", "C:\\Program", "Files\\Fotelix"});
  std::vector<std::string> atRunStart;
  Headless().AfterMessages = [&] {
    if (atRunStart.empty() && form->RunWorking())
      atRunStart = {ActivePage(), PartsInPlace() ? "in place" : "displaced",
                    form->Busy() ? "busy" : "idle"};
  };
  TAt keyPress(100, [&] { Click("&Next"); });
  Headless().AdvanceClock(2000);
  EXPECT_EQ(atRunStart, (std::vector<std::string>{"PNLUpgradeUpgrading", "in place", "idle"}));
  EXPECT_EQ(os_->SleptMilliseconds(), 3000u);
  EXPECT_TRUE(Content(kProgramFiles + "Fotelix.Exe") == BuiltProgram(kProgramSourceFile));
  EXPECT_TRUE(os_->FileExists(kProgramFiles + "Uninstall.Exe"));
  EXPECT_TRUE(os_->FileExists(kProgramFiles + "Fotelix.BAK"));
  const std::vector<std::pair<std::string, int>> started = {
      {kProgramFiles + "Fotelix.Exe", kSwShowMaximized}};
  EXPECT_EQ(os_->StartedAsUser(), started);
  EXPECT_EQ(os_->ExitCodes(), std::vector<int>{0});
  EXPECT_TRUE(PartsInPlace());

  // Folders that the product should never pass: each ends on the error page
  // naming it, and nothing is written or started. Without a folder the switch
  // means nothing and the wizard starts as usual.
  const std::string overLong = "C:\\" + std::string(300, 'a') + "\\";
  const std::string notAFolder = "\": that is not a full folder name of at most 245 characters.";
  std::vector<std::pair<std::string, std::string>> bad = {
      {"Install_Fotelix.exe /autoupdate", ""},
      {"Install_Fotelix.exe /autoupdate \"\"", ""},
      {"Install_Fotelix.exe /autoupdate Fotelix", "Cannot update Fotelix in \"Fotelix\\" + notAFolder},
      {"Install_Fotelix.exe /autoupdate \\Fotelix\\", "Cannot update Fotelix in \"\\Fotelix\\" + notAFolder},
      {"Install_Fotelix.exe /autoupdate " + overLong, "Cannot update Fotelix in \"" + overLong + notAFolder},
      {"Install_Fotelix.exe /autoupdate Q:\\Fotelix", "Cannot create the folder \"Q:\\Fotelix\\\"."},
      // Names that the system would take for another folder.
      {"Install_Fotelix.exe /autoupdate C:\\Program Files.\\Fotelix",
       "Cannot update Fotelix in \"C:\\Program Files.\\Fotelix\\" + notAFolder},
      {"Install_Fotelix.exe /autoupdate C:\\Windows\\..\\Program Files\\Fotelix",
       "Cannot update Fotelix in \"C:\\Windows\\..\\Program Files\\Fotelix\\" + notAFolder},
  };
  // A link at the folder or above it, where the system can make one (not the
  // Windows build under Wine).
  std::error_code ec;
  std::filesystem::create_directory_symlink(os_->HostPath("C:\\Program Files"), os_->HostPath("C:\\Linked"),
                                            ec);
  if (!ec) {
    const std::string link = " is a link (a junction or a symbolic link) to another place.";
    bad.push_back({"Install_Fotelix.exe /autoupdate C:\\Linked",
                   "Cannot update Fotelix in \"C:\\Linked\\\": that folder" + link});
    bad.push_back({"Install_Fotelix.exe /autoupdate C:\\LINKED\\fotelix",
                   "Cannot update Fotelix in \"C:\\Linked\\Fotelix\\\": \"C:\\Linked\\\"" + link});
  }
  for (const auto& [line, message] : bad) {
    SCOPED_TRACE(line);
    Start(CommandLineArguments(line));
    Headless().AdvanceClock(2000);
    EXPECT_EQ(ActivePage(), message.empty() ? "PnlWelcome" : "PnlError");
    if (!message.empty()) {
      EXPECT_EQ(ErrorPage->StaticText1->Caption(), message);
    }
  }
  EXPECT_EQ(os_->ExitCodes(), std::vector<int>{0});
  EXPECT_EQ(os_->StartedAsUser().size(), 1u);

  // Quoted as the product passes it, the folder with its blanks is updated,
  // and the product started, in the form that the system keeps.
  Start(CommandLineArguments("Install_Fotelix.exe /autoupdate \"c:\\program files\\FOTELIX\\\""));
  Headless().AdvanceClock(2000);
  EXPECT_EQ(os_->ExitCodes(), (std::vector<int>{0, 0}));
  EXPECT_EQ(os_->StartedAsUser().size(), 2u);
  EXPECT_EQ(os_->StartedAsUser().back().first, kProgramFiles + "Fotelix.Exe");
  EXPECT_TRUE(os_->StartedPrograms().empty());
}

}  // namespace
