#include <gtest/gtest.h>

#include "app_Wizard_fixture.h"
#include "pages/PNL_Welcome.h"

namespace {

// The generator's sequence computed here on its own, from seed 0.
class TOwnSequence {
 public:
  uint32_t Next(uint32_t n) {
    seed_ = seed_ * 134775813u + 1u;
    return static_cast<uint32_t>((uint64_t{seed_} * n) >> 32);
  }

 private:
  uint32_t seed_ = 0;
};

class WelcomeTest : public WizardTest {
 protected:
  TPnlWelcome& Welcome() { return Page<TPnlWelcome>("PnlWelcome"); }
};

TEST_F(WelcomeTest, WordsStartWithTheFirstDrawsFromSeedZero) {
  TOwnSequence draws;
  for (int i = 1; i <= TPnlWelcome::WordCount; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(Welcome().MoveUp[i], draws.Next(2) == 1);
    EXPECT_EQ(Welcome().MoveLeft[i], draws.Next(2) == 1);
    EXPECT_EQ(Welcome().StepY[i], draws.Next(5) + 1);
    EXPECT_EQ(Welcome().StepX[i], draws.Next(5) + 1);
  }
  // Word 1 goes down and right, 5 pixels down and 2 right per tick.
  EXPECT_FALSE(Welcome().MoveUp[1]);
  EXPECT_FALSE(Welcome().MoveLeft[1]);
  EXPECT_EQ(Welcome().StepY[1], 5);
  EXPECT_EQ(Welcome().StepX[1], 2);
}

TEST_F(WelcomeTest, TheFirstTicksMoveEachWordByItsSteps) {
  TPnlWelcome& page = Welcome();
  ASSERT_TRUE(page.Timer1->Enabled());
  EXPECT_EQ(page.Timer1->Interval(), 50u);
  EXPECT_TRUE(page.lblMove[1]->Transparent());
  Headless().AdvanceClock(49);
  EXPECT_EQ(page.lblMove[1]->Left(), 32);
  Headless().AdvanceClock(1);
  EXPECT_EQ(page.lblMove[1]->Left(), 34);
  EXPECT_EQ(page.lblMove[1]->Top(), 21);
  Headless().AdvanceClock(50);
  EXPECT_EQ(page.lblMove[1]->Left(), 36);
  EXPECT_EQ(page.lblMove[1]->Top(), 26);
}

TEST_F(WelcomeTest, WordsStayOnThePictureAndThePageAndKeepTheirPace) {
  TPnlWelcome& page = Welcome();
  ASSERT_EQ(page.Image1->Width(), 369);
  ASSERT_EQ(page.Height(), 377);
  int bounces = 0;
  for (int tick = 0; tick < 3000; ++tick) {
    const uint32_t before = RandSeed();
    Headless().AdvanceClock(50);
    if (RandSeed() != before) ++bounces;
    for (int i = 1; i <= TPnlWelcome::WordCount; ++i) {
      const TLabel& word = *page.lblMove[i];
      ASSERT_GE(word.Left(), 0) << i;
      ASSERT_LE(word.Left() + word.Width(), 369) << i;
      ASSERT_GE(word.Top(), 0) << i;
      ASSERT_LE(word.Top() + word.Height(), 377) << i;
      ASSERT_GE(page.StepX[i] + page.StepY[i], 3) << i;
      ASSERT_LE(page.StepX[i], 6) << i;
      ASSERT_LE(page.StepY[i], 6) << i;
    }
  }
  EXPECT_GT(bounces, 50);
}

TEST_F(WelcomeTest, TwoRunsFromSeedZeroMoveAlike) {
  Headless().AdvanceClock(50 * 400);
  std::vector<int> first;
  for (int i = 1; i <= TPnlWelcome::WordCount; ++i) {
    first.push_back(Welcome().lblMove[i]->Left());
    first.push_back(Welcome().lblMove[i]->Top());
  }
  Start({});
  Headless().AdvanceClock(50 * 400);
  std::vector<int> second;
  for (int i = 1; i <= TPnlWelcome::WordCount; ++i) {
    second.push_back(Welcome().lblMove[i]->Left());
    second.push_back(Welcome().lblMove[i]->Top());
  }
  EXPECT_EQ(first, second);
}

TEST_F(WelcomeTest, NextStopsTheWordsWhereTheyAre) {
  Headless().AdvanceClock(500);
  Click("&Next");
  EXPECT_EQ(ActivePage(), "PnlDisclaimer");
  EXPECT_FALSE(Welcome().Timer1->Enabled());
  const int left = Welcome().lblMove[3]->Left();
  const int top = Welcome().lblMove[3]->Top();
  Click("&Previous");
  Headless().AdvanceClock(1000);
  EXPECT_EQ(ActivePage(), "PnlWelcome");
  EXPECT_EQ(Welcome().lblMove[3]->Left(), left);
  EXPECT_EQ(Welcome().lblMove[3]->Top(), top);
}

TEST_F(WelcomeTest, ExitClosesTheWindow) {
  form->Show();
  Click("&Exit");
  EXPECT_FALSE(form->Visible());
  EXPECT_TRUE(Application().Terminated());
}

}  // namespace
