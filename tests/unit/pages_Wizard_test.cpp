#include <gtest/gtest.h>

#include <functional>

#include "app_Wizard_fixture.h"
#include "pages/PNL_Disclaimer.h"
#include "pages/PNL_Error.h"
#include "pages/PNL_Install.h"

namespace {

const char kRefusal[] =
    "You can only install Fotelix in case you agree to this statement.\r"
    "Check the checkbox to confirm.\r"
    "Otherwise please press Exit";

class PagesTest : public WizardTest {
 protected:
  TPnlDisclaimer& Terms() { return Page<TPnlDisclaimer>("PnlDisclaimer"); }
  TPnlInstall& Choice() { return Page<TPnlInstall>("PnlInstall"); }
};

TEST_F(PagesTest, TermsRefuseToGoOnUntilTheBoxIsTicked) {
  Click("&Next");
  ASSERT_EQ(ActivePage(), "PnlDisclaimer");
  EXPECT_EQ(Terms().txtDisclaimer->Caption(), TPnlDisclaimer::Statement());
  EXPECT_EQ(Buttons(), (std::vector<std::string>{"&Exit", "&Next", "&Previous"}));
  Click("&Next");
  ASSERT_EQ(Headless().MessageBoxes.size(), 1u);
  EXPECT_EQ(Headless().MessageBoxes[0].Text, kRefusal);
  EXPECT_EQ(Headless().MessageBoxes[0].Caption, "Install_Fotelix");
  EXPECT_EQ(ActivePage(), "PnlDisclaimer");
  EXPECT_FALSE(Terms().CheckBox1->Checked());

  Terms().CheckBox1->Toggle();
  Click("&Next");
  EXPECT_EQ(ActivePage(), "PnlInstall");
  EXPECT_EQ(Headless().MessageBoxes.size(), 1u);
}

TEST_F(PagesTest, TheTermsBoxIsUntickedOnEveryArrival) {
  struct TArrival {
    const char* How;
    std::function<void()> Arrive;
  };
  const std::vector<TArrival> arrivals = {
      {"back from the next page", [&] { Click("&Next"); Click("&Previous"); }},
      {"header click on the terms page itself", [&] { form->PnlHeader->Click(); }},
      {"shown again without a slide", [&] { form->ShowPage("PNLDISCLAIMER", false); }},
  };
  for (const TArrival& arrival : arrivals) {
    SCOPED_TRACE(arrival.How);
    form->ShowPage("PnlDisclaimer", true);
    Terms().CheckBox1->Toggle();
    ASSERT_TRUE(Terms().CheckBox1->Checked());
    arrival.Arrive();
    EXPECT_EQ(ActivePage(), "PnlDisclaimer");
    EXPECT_FALSE(Terms().CheckBox1->Checked());
  }
}

TEST_F(PagesTest, InstallChoiceDefaultsLeadToTheInstallationFolder) {
  form->ShowPage("PnlInstall", true);
  EXPECT_TRUE(Choice().RadioButton1->Checked());
  EXPECT_FALSE(Choice().RadioButton2->Checked());
  EXPECT_TRUE(Choice().CheckBox1->Checked());
  Click("&Next");
  EXPECT_EQ(ActivePage(), "PnlInstallChooseDir");
  EXPECT_FALSE(::Setup.UpgradeChosen);
  Click("&Previous");
  Click("&Previous");
  EXPECT_EQ(ActivePage(), "PnlDisclaimer");
  EXPECT_TRUE(::Setup.CreateDesktopShortcut);
}

// With no copy on any fixed disk the search says so and comes back to the
// choice, as the user left it.
TEST_F(PagesTest, InstallChoiceUpgradeLeadsToTheSearchAndIsKept) {
  MapDrive('E', TDriveType::Removable);
  MakeFile("E:\\Fotelix\\Fotelix.exe", "MZ");  // not a fixed disk: not searched
  form->Show();
  form->ShowPage("PnlInstall", true);
  // Chosen by their access keys, as the user may.
  ASSERT_TRUE(form->DialogChar('u'));
  EXPECT_FALSE(Choice().RadioButton1->Checked());
  Choice().CheckBox1->Toggle();
  std::vector<std::string> pagesAtTheMessage;
  Headless().MessageBoxResponder = [&](const TMessageBoxCall&) {
    pagesAtTheMessage.push_back(ActivePage());
    return idOk;
  };
  Click("&Next");
  EXPECT_EQ(pagesAtTheMessage, std::vector<std::string>{"PnlUpgradeFindDir"});
  ASSERT_EQ(Headless().MessageBoxes.size(), 1u);
  EXPECT_EQ(Headless().MessageBoxes[0].Text,
            "No installed Fotelix versions could be found,\r"
            "or the found Fotelix versions are newer than\r"
            "the one in this installation. An upgrade is\r"
            "not possible.");
  EXPECT_EQ(Headless().MessageBoxes[0].Caption, "Install_Fotelix");
  EXPECT_TRUE(::Setup.FoundInstallations.empty());
  EXPECT_EQ(ActivePage(), "PnlInstall");
  EXPECT_TRUE(PartsInPlace());
  EXPECT_TRUE(::Setup.UpgradeChosen);
  EXPECT_FALSE(::Setup.CreateDesktopShortcut);
  EXPECT_TRUE(Choice().RadioButton2->Checked());
  EXPECT_FALSE(Choice().CheckBox1->Checked());
  ASSERT_TRUE(form->DialogChar('i'));
  EXPECT_FALSE(Choice().RadioButton2->Checked());
  Click("&Next");
  EXPECT_EQ(ActivePage(), "PnlInstallChooseDir");
  EXPECT_FALSE(::Setup.UpgradeChosen);
  Click("&Previous");
  Click("&Previous");
  EXPECT_EQ(ActivePage(), "PnlDisclaimer");
}

// The mail goes through the signed-in user's shell; an elevated setup whose
// desktop shell does not answer opens nothing as administrator.
TEST_F(PagesTest, MailLinksOpenAMailToSupportWhateverTheShellSays) {
  Choice().Label18->Click();
  ErrorPage->Label5->Click();
  os_->SetElevated(true);
  os_->SetDesktopShell(false);
  ErrorPage->Label5->Click();
  os_->FailStartProgram(true);
  Choice().Label18->Click();
  EXPECT_EQ(os_->OpenedDocuments(), (std::vector<std::string>{"mailto:help@morvane.example",
                                                              "mailto:help@morvane.example"}));
  EXPECT_EQ(ActivePage(), "PnlWelcome");  // no error route
}

TEST_F(PagesTest, ErrorPageCopiesExactlyTheMessage) {
  Dispatch([] { throw std::runtime_error("Cannot write \"C:\\Fotelix\\Fotelix.Exe\".\rAccess denied."); });
  ErrorPage->btnClipboard->Click();
  EXPECT_EQ(Headless().ClipboardText(), "Cannot write \"C:\\Fotelix\\Fotelix.Exe\".\rAccess denied.");
}

// "&Restart" opens this very program again by its full path, as the
// signed-in user, and ends. The file cannot be replaced while the setup
// runs; a program path that is not this program's file, an elevated setup
// without a desktop shell and a failed start start nothing, and it ends all
// the same.
TEST_F(PagesTest, RestartStartsThisVeryProgramAsTheUserAndEnds) {
  const std::string deep = "C:\\" + std::string(150, 'd') + "\\Setup Files\\Install_Fotelix.exe";
  MakeFile(deep, "MZ");
  os_->SetProgramPath(deep);
  Dispatch([] { throw std::runtime_error("broken"); });
  Click("&Restart");
  EXPECT_FALSE(os_->RenameAs("Mallory", deep, deep + ".old"));
  EXPECT_FALSE(os_->WriteFileAs("Mallory", deep, "MZ hers"));
  for (const std::function<void()>& fault :
       std::vector<std::function<void()>>{[&] { os_->FailStartProgram(true); },
                                          [&] {
                                            os_->SetElevated(true);
                                            os_->SetDesktopShell(false);
                                          },
                                          [&] { os_->SetProgramPath("C:\\Missing\\Install_Fotelix.exe"); }}) {
    fault();
    Click("&Restart");
  }
  EXPECT_EQ(os_->OpenedDocuments(), std::vector<std::string>{deep});
  EXPECT_EQ(os_->ExitCodes(), (std::vector<int>{0, 0, 0, 0}));
}

TEST_F(PagesTest, ExitOnEveryShellPageClosesTheWindow) {
  for (const std::string page : {"PnlWelcome", "PnlDisclaimer", "PnlInstall", "PnlError"}) {
    SCOPED_TRACE(page);
    Start({});
    form->Show();
    form->ShowPage(page, true);
    Click("&Exit");
    EXPECT_FALSE(form->Visible());
  }
}

}  // namespace
