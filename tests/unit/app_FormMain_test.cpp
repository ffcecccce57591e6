#include <gtest/gtest.h>

#include <stdexcept>

#include "app_Wizard_fixture.h"
#include "pages/PNL_Disclaimer.h"
#include "pages/PNL_Error.h"
#include "pages/PageNames.h"

namespace {

// A page that notes what the main window asks of it and can be told to fail.
class TProbePage : public TFramePanel {
 public:
  TProbePage(TComponent* owner, TPageHost& host) : TFramePanel(owner, host) {
    Name = "PnlProbe";
    HeaderText = "Probe";
  }
  std::vector<std::string> Log;
  std::string FailIn;
  std::function<void()> Work;

  void SetupButtons(tMvButtonBar& bar) override {
    Log.push_back("buttons busy=" + std::to_string(FormMain->Busy()));
    bar.AddRightButton("&Go", 2, 1, [](TObject*) {});
    Fail("SetupButtons");
  }
  void EnterPage() override {
    Log.push_back("enter busy=" + std::to_string(FormMain->Busy()));
    Fail("EnterPage");
  }
  void RunPage() override {
    Log.push_back("run busy=" + std::to_string(FormMain->Busy()) +
                  " left=" + std::to_string(FormMain->PageControl->Left()));
    Fail("RunPage");
    if (Work) Work();
  }

 private:
  void Fail(const std::string& where) {
    if (FailIn == where) throw std::runtime_error("The disk is full (" + where + ").");
  }
};

class FormMainTest : public WizardTest {
 protected:
  TProbePage& AddProbe() {
    auto page = std::make_unique<TProbePage>(nullptr, *form);
    TProbePage& probe = *page;
    form->AddPage(std::move(page));
    return probe;
  }
};

TEST_F(FormMainTest, CreatesTheWindowWithItsLayoutAndTheWelcomePage) {
  EXPECT_EQ(form->Caption(), "Install Fotelix 2.12");
  EXPECT_EQ(form->ClientRect(), (TRect{0, 0, 780, 509}));
  EXPECT_EQ(form->Color(), 0xFF0000u);
  EXPECT_EQ(form->PnlHeader->BoundsRect(), (TRect{40, 31, 752, 72}));
  EXPECT_EQ(form->PnlHeader->Color(), 0x800000u);
  EXPECT_EQ(form->PnlHeader->Font().Color, 0xFFFFFFu);
  EXPECT_EQ(form->PnlHeader->Font().Height, 19);
  EXPECT_EQ(form->PageControl->BoundsRect(), (TRect{40, 72, 752, 449}));
  EXPECT_EQ(form->PnlButtons->BoundsRect(), (TRect{40, 451, 753, 483}));
  EXPECT_EQ(form->PnlButtons->Color(), 0xF0FBFFu);
  EXPECT_EQ(tMvButtonBar::SharedColors().FaceColor, 0x800000u);
  EXPECT_EQ(tMvButtonBar::SharedColors().ShadowColor, 0x00FF00u);
  EXPECT_EQ(form->ImgIcon->Picture().Width(), 32);
  EXPECT_EQ(form->Position, TPosition::poScreenCenter);

  EXPECT_EQ(ActivePage(), "PnlWelcome");
  EXPECT_EQ(form->PnlHeader->Caption(), "Welcome");
  EXPECT_EQ(Buttons(), (std::vector<std::string>{"&Exit", "&Next"}));
  EXPECT_FALSE(form->Busy());
  EXPECT_TRUE(form->Timer1->Enabled());
  EXPECT_EQ(form->Timer1->Interval(), 150u);
}

TEST_F(FormMainTest, CreatesTheFourteenPagesInOrderOnNamedSheets) {
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"PnlWelcome", "Welcome"},
      {"PnlDisclaimer", "Disclaimer"},
      {"PnlInstall", "Install or upgrade?"},
      {"PnlInstallChooseDir", "Choose installation folder"},
      {"PNLInstallChooseDownloadDir", "Choose download folder"},
      {"PNLInstallChooseConnection", "Select your internet-connection"},
      {"PNLInstallGo", "Ready to install"},
      {"PNLInstallInstalling", "Installing Fotelix"},
      {"PNLInstallReady", "Installation of Fotelix ready"},
      {"PnlUpgradeFindDir", "Searching Fotelix"},
      {"PNLUpgradeStart", "Ready to upgrade"},
      {"PNLUpgradeUpgrading", "Upgrading Fotelix"},
      {"PNLUpgradeReady", "Upgrade of Fotelix ready"},
      {"PnlError", "Error"},
  };
  const auto& sheets = form->PageControl->Pages();
  ASSERT_EQ(sheets.size(), expected.size());
  for (size_t i = 0; i < sheets.size(); ++i) {
    SCOPED_TRACE(expected[i].first);
    EXPECT_EQ(sheets[i]->Name, expected[i].first);
    ASSERT_EQ(sheets[i]->ControlCount(), 1);
    auto* page = dynamic_cast<TFramePanel*>(sheets[i]->Controls().front());
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->Name, expected[i].first);
    EXPECT_EQ(page->HeaderText, expected[i].second);
  }
  EXPECT_EQ(ErrorPage, &Page<TPnlError>("PnlError"));
}

TEST_F(FormMainTest, ReadsTheCommandLineAndJumpsToTheUpgradeOnce) {
  Start({"/AutoUpdate", "C:\\Program Files\\Fotelix"});
  EXPECT_TRUE(::Setup.AutoUpdate);
  EXPECT_EQ(::Setup.InstallDir, "C:\\Program Files\\Fotelix\\");
  EXPECT_EQ(ActivePage(), "PnlWelcome");
  Headless().AdvanceClock(149);
  EXPECT_EQ(ActivePage(), "PnlWelcome");
  Headless().AdvanceClock(1);  // Timer1 fires and the slide runs inside its tick
  EXPECT_EQ(ActivePage(), "PNLUpgradeUpgrading");
  EXPECT_FALSE(form->Timer1->Enabled());
  EXPECT_TRUE(PartsInPlace());
}

TEST_F(FormMainTest, WithoutTheSwitchTheStartTimerChangesNothing) {
  Start({"/autoupdate"});
  EXPECT_FALSE(::Setup.AutoUpdate);
  Headless().AdvanceClock(1000);
  EXPECT_EQ(ActivePage(), "PnlWelcome");
  EXPECT_FALSE(form->Timer1->Enabled());
}

TEST_F(FormMainTest, ShowPageMatchesNamesInAnyLetterCase) {
  for (const std::string name : {"PnlDisclaimer", "pnldisclaimer", "PNLDISCLAIMER", "pNLdISCLAIMER"}) {
    SCOPED_TRACE(name);
    form->ShowPage("PnlWelcome", false);
    form->ShowPage(name, false);
    EXPECT_EQ(ActivePage(), "PnlDisclaimer");
    EXPECT_EQ(form->PnlHeader->Caption(), "Disclaimer");
  }
  form->ShowPage("PnlInstallChooseDir", false);
  form->ShowPage("pnlwelcome", true);
  EXPECT_EQ(ActivePage(), "PnlWelcome");
  EXPECT_TRUE(PartsInPlace());
}

TEST_F(FormMainTest, AnUnknownNameRaisesAndLeavesThePageAsItIs) {
  EXPECT_THROW(form->ShowPage("PnlNowhere", true), std::logic_error);
  EXPECT_EQ(ActivePage(), "PnlWelcome");
  EXPECT_EQ(Buttons(), (std::vector<std::string>{"&Exit", "&Next"}));
  EXPECT_TRUE(PartsInPlace());
}

TEST_F(FormMainTest, FadesInOverThirtyOneTicks) {
  form->Show();
  EXPECT_TRUE(form->AlphaBlend());
  EXPECT_EQ(form->AlphaBlendValue(), 0);
  std::vector<int> seen;
  for (int tick = 0; tick < 35; ++tick) {
    Headless().AdvanceClock(100);
    if (seen.empty() || seen.back() != form->AlphaBlendValue()) seen.push_back(form->AlphaBlendValue());
  }
  std::vector<int> expected;
  for (int value = 8; value <= 240; value += 8) expected.push_back(value);
  expected.push_back(255);
  EXPECT_EQ(seen, expected);
  EXPECT_FALSE(form->AlphaBlendTimer->Enabled());
}

TEST_F(FormMainTest, TheFirstSwitchEndsTheFadeInForGood) {
  form->Show();
  Headless().AdvanceClock(300);
  EXPECT_EQ(form->AlphaBlendValue(), 24);
  Click("&Next");
  EXPECT_EQ(ActivePage(), "PnlDisclaimer");
  EXPECT_FALSE(form->AlphaBlend());
  Headless().AdvanceClock(5000);
  EXPECT_FALSE(form->AlphaBlend());
  EXPECT_FALSE(form->AlphaBlendTimer->Enabled());
}

TEST_F(FormMainTest, ASlideTakesElevenStepsOfFortyMillisecondsEachWay) {
  std::vector<std::pair<int, int>> samples;  // header left, page control left
  TTimer sampler(nullptr);
  sampler.SetInterval(10);
  sampler.SetOnTimer([&](TObject*) {
    samples.emplace_back(form->PnlHeader->Left(), form->PageControl->Left());
  });
  const uint32_t start = Application().TickCount();
  form->ShowPage("PnlDisclaimer", true);
  const uint32_t took = Application().TickCount() - start;
  sampler.SetEnabled(false);
  // Each step waits until the clock is more than 40 ms past its start.
  EXPECT_GE(took, 22u * 41u);
  EXPECT_LT(took, 22u * 45u);
  int farthest = 0;
  for (const auto& sample : samples) {
    EXPECT_EQ(sample.first - 40, 40 - sample.second);  // header and pages move apart evenly
    EXPECT_EQ((sample.first - 40) % 70, 0);
    farthest = std::max(farthest, sample.first - 40);
  }
  EXPECT_EQ(farthest, 770);
  EXPECT_TRUE(PartsInPlace());
}

TEST_F(FormMainTest, AButtonClickDuringASlideDoesNothingAndActsAfterIt) {
  // On the terms page, "&Previous" is clicked while the page still slides in.
  TAt during(700, [&] {
    ASSERT_TRUE(form->Busy());
    Click("&Previous");
  });
  Click("&Next");
  EXPECT_EQ(ActivePage(), "PnlDisclaimer");
  EXPECT_FALSE(form->Busy());
  Click("&Previous");
  EXPECT_EQ(ActivePage(), "PnlWelcome");
}

TEST_F(FormMainTest, NoBarButtonOfAnyPageActsDuringASlide) {
  using namespace PageName;
  for (const char* page : {PnlWelcome, PnlDisclaimer, PnlInstall, PnlInstallChooseDir,
                           PNLInstallChooseDownloadDir, PNLInstallChooseConnection, PNLInstallGo,
                           PNLInstallReady, PNLUpgradeStart, PNLUpgradeReady, PnlError}) {
    SCOPED_TRACE(page);
    Start({});
    form->Show();
    int clicked = 0;
    TAt during(700, [&] {
      ASSERT_TRUE(form->Busy());
      for (TControl* button : form->PnlButtons->Controls()) {
        if (!button->Visible()) continue;
        ++clicked;
        button->Click();
      }
    });
    form->ShowPage(page, true);
    EXPECT_GE(clicked, 2);
    EXPECT_EQ(ActivePage(), page);
    EXPECT_TRUE(form->Visible());
    EXPECT_TRUE(os_->ExitCodes().empty());
    EXPECT_TRUE(Headless().MessageBoxes.empty());
  }
}

TEST_F(FormMainTest, ShowingThePageInViewRebuildsItAndRunsItAgain) {
  TProbePage& probe = AddProbe();
  form->ShowPage("PnlProbe", true);
  form->ShowPage("PnlProbe", true);
  const std::vector<std::string> once = {"buttons busy=1", "enter busy=1", "run busy=0 left=40"};
  std::vector<std::string> twice = once;
  twice.insert(twice.end(), once.begin(), once.end());
  EXPECT_EQ(probe.Log, twice);
  EXPECT_EQ(Buttons(), std::vector<std::string>{"&Go"});
  EXPECT_TRUE(PartsInPlace());
}

TEST_F(FormMainTest, APageWithoutButtonsShowsAnEmptyBar) {
  // The install run's page has none; looked at while its run works.
  int seen = 0;
  Headless().AfterMessages = [&] {
    if (!form->RunWorking()) return;
    ++seen;
    EXPECT_TRUE(Buttons().empty());
    for (TControl* button : form->PnlButtons->Controls()) EXPECT_FALSE(button->Visible());
  };
  form->ShowPage("PNLInstallInstalling", true);
  EXPECT_GT(seen, 0);
}

TEST_F(FormMainTest, ASwitchFromRunPageRunsCompletelyInsideTheOuterOne) {
  TProbePage& probe = AddProbe();
  probe.Work = [] { FormMain->ShowPage("PnlInstall", true); };
  form->ShowPage("PnlProbe", true);
  EXPECT_EQ(ActivePage(), "PnlInstall");
  EXPECT_EQ(form->PnlHeader->Caption(), "Install or upgrade?");
  EXPECT_FALSE(form->Busy());
  EXPECT_TRUE(PartsInPlace());
}

// A switch made from a message during a slide is the one that stays: the
// slide it interrupted stops and puts its parts back.
TEST_F(FormMainTest, ASwitchDuringASlideTakesOver) {
  struct TCase {
    const char* How;
    unsigned At;  // ms into the slide: out until 451, in until 902
    std::function<void()> Switch;
    std::string Ends;
  };
  const std::vector<TCase> cases = {
      {"header click while sliding out", 200, [&] { form->PnlHeader->Click(); }, "PnlDisclaimer"},
      {"header click while sliding in", 700, [&] { form->PnlHeader->Click(); }, "PnlDisclaimer"},
      {"unanimated switch", 300, [&] { form->ShowPage("PnlInstall", false); }, "PnlInstall"},
      {"error in a timer", 600, [&] { Dispatch([] { throw std::runtime_error("timer failed"); }); },
       "PnlError"},
      {"name of no page", 300, [&] { form->ShowPage("PnlNowhere", true); }, "PnlError"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.How);
    Start({});
    TProbePage& probe = AddProbe();
    TAt during(c.At, c.Switch);
    form->ShowPage("PnlProbe", true);
    EXPECT_EQ(ActivePage(), c.Ends);
    EXPECT_EQ(form->PnlHeader->Caption(), dynamic_cast<TFramePanel&>(
                                              *form->PageControl->ActivePage()->Controls().front())
                                              .HeaderText);
    EXPECT_FALSE(form->Busy());
    EXPECT_TRUE(PartsInPlace());
    // The overtaken switch does not start the work of its page.
    for (const std::string& entry : probe.Log) EXPECT_EQ(entry.rfind("run", 0), std::string::npos);
  }
}

TEST_F(FormMainTest, TheHeaderLeadsToTheTermsPageExceptDuringARun) {
  form->ShowPage("PnlInstall", false);
  form->PnlHeader->Click();
  EXPECT_EQ(ActivePage(), "PnlDisclaimer");

  TProbePage& probe = AddProbe();
  std::string pageAfterClick;
  probe.Work = [&] {
    TWorkingRun run(*form);
    form->PnlHeader->Click();
    pageAfterClick = ActivePage();
  };
  form->ShowPage("PnlProbe", false);
  EXPECT_EQ(pageAfterClick, "PnlProbe");
  EXPECT_FALSE(form->RunWorking());
  form->PnlHeader->Click();
  EXPECT_EQ(ActivePage(), "PnlDisclaimer");
}

// A failure in any of the page's operations during an animated switch ends
// on the error page, in view and usable.
TEST_F(FormMainTest, AFailingSwitchEndsOnTheErrorPageInView) {
  for (const std::string where : {"SetupButtons", "EnterPage", "RunPage"}) {
    SCOPED_TRACE(where);
    Start({});
    TProbePage& probe = AddProbe();
    probe.FailIn = where;
    form->Show();
    Dispatch([&] { form->ShowPage("PnlProbe", true); });
    EXPECT_EQ(ActivePage(), "PnlError");
    EXPECT_EQ(form->PnlHeader->Caption(), "Error");
    EXPECT_EQ(ErrorPage->StaticText1->Caption(), "The disk is full (" + where + ").");
    EXPECT_EQ(Buttons(), (std::vector<std::string>{"&Exit", "&Restart"}));
    EXPECT_FALSE(form->Busy());
    EXPECT_TRUE(PartsInPlace());
    EXPECT_TRUE(form->PageControl->ActivePage()->Showing());
    EXPECT_TRUE(Headless().MessageBoxes.empty());
    // The buttons work at once.
    Click("&Exit");
    EXPECT_FALSE(form->Visible());
  }
}

TEST_F(FormMainTest, ASecondErrorReplacesTheMessage) {
  Dispatch([] { throw std::runtime_error("first"); });
  Dispatch([] { throw std::runtime_error("second"); });
  EXPECT_EQ(ActivePage(), "PnlError");
  EXPECT_EQ(ErrorPage->StaticText1->Caption(), "second");
  EXPECT_TRUE(PartsInPlace());
}

}  // namespace
