#include "widgets/MVI_ButtonBar.h"

#include <gtest/gtest.h>

#include <iterator>

#include "ui/Application.h"
#include "ui/Forms.h"

namespace {

class ButtonBar : public ::testing::Test {
 protected:
  void SetUp() override {
    saved = tMvButtonBar::SharedColors();
    tMvButtonBar::SetSharedColors({});  // as at program start
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(0, 0, 713, 541);
    form->Show();
    bar = form->Create<tMvButtonBar>();
    bar->SetParent(form.get());
    bar->SetBounds(0, 509, 713, bar->Height());
  }
  void TearDown() override {
    form.reset();
    tMvButtonBar::SetSharedColors(saved);
  }

  TNotifyEvent Handler(const std::string& name) {
    return [this, name](TObject*) { clicked.push_back(name); };
  }

  TMvButtonColors saved;
  std::unique_ptr<TForm> form;
  tMvButtonBar* bar = nullptr;
  std::vector<std::string> clicked;
};

TEST_F(ButtonBar, StartsWith24HiddenButtons) {
  EXPECT_EQ(bar->Height(), 32);
  EXPECT_EQ(bar->BevelOuter(), TBevelCut::bvNone);
  EXPECT_EQ(bar->LeftCount(), 0);
  EXPECT_EQ(bar->RightCount(), 0);
  int buttons = 0;
  for (TControl* c : bar->Controls()) {
    auto* b = dynamic_cast<TLbSpeedButton*>(c);
    ASSERT_NE(b, nullptr);
    EXPECT_FALSE(b->Visible());
    EXPECT_EQ(b->Owner(), bar);
    EXPECT_EQ(b->Height(), 23);
    EXPECT_EQ(b->LightColor(), clWhite);
    ++buttons;
  }
  EXPECT_EQ(buttons, 24);
  EXPECT_EQ(bar->LeftButton(1), bar->Controls()[0]);
  EXPECT_EQ(bar->RightButton(1), bar->Controls()[1]);
  EXPECT_THROW(bar->LeftButton(13), std::out_of_range);
}

TEST_F(ButtonBar, RightButtonsStackLeftwardsFromTheRightEdge) {
  bar->Clear();
  bar->AddRightButton("&Next", 2, 1, Handler("next"));
  TLbSpeedButton* next = bar->RightButton(1);
  EXPECT_EQ(next->BoundsRect(), (TRect{618, 4, 708, 27}));
  EXPECT_TRUE(next->Visible());
  bar->AddRightButton("&Previous", 3, 1, Handler("previous"));
  TLbSpeedButton* previous = bar->RightButton(2);
  EXPECT_EQ(previous->Left(), 523);
  EXPECT_EQ(previous->Caption(), "&Previous");
  EXPECT_EQ(previous->Tag, 3);
  EXPECT_LT(previous->Left() + previous->Width(), next->Left());
}

TEST_F(ButtonBar, LeftAndRightArePlacedIndependently) {
  bar->AddLeftButton("&Exit", 1, 1, Handler("exit"));
  bar->AddRightButton("&Install Now", 2, 2, Handler("install"));
  bar->AddLeftButton("&Help", 4, 0, Handler("help"));
  bar->AddRightButton("&Previous", 3, 1, Handler("previous"));
  EXPECT_EQ(bar->LeftButton(1)->Left(), 5);
  EXPECT_EQ(bar->LeftButton(2)->Left(), 100);
  EXPECT_EQ(bar->LeftButton(2)->Width(), 30);
  EXPECT_EQ(bar->RightButton(1)->Left(), 588);
  EXPECT_EQ(bar->RightButton(2)->Left(), 493);
  EXPECT_EQ(bar->LeftCount(), 2);
  EXPECT_EQ(bar->RightCount(), 2);

  bar->Clear();
  EXPECT_EQ(bar->LeftCount(), 0);
  for (TControl* c : bar->Controls()) EXPECT_FALSE(c->Visible());
  // Hiding changes nothing else; the next add sets everything again.
  EXPECT_EQ(bar->LeftButton(2)->Caption(), "&Help");
  bar->AddLeftButton("&Back", 9, 3, Handler("back"));
  EXPECT_EQ(bar->LeftButton(1)->BoundsRect(), (TRect{5, 4, 205, 27}));
  EXPECT_EQ(bar->LeftButton(1)->Caption(), "&Back");
}

// Each kind of width, placed from the right edge leftwards, 5 pixels apart;
// every kind above 3 is 99 wide.
TEST_F(ButtonBar, WidthKinds) {
  const struct {
    uint8_t kind;
    int left, width;
  } placed[] = {{0, 678, 30}, {1, 583, 90}, {2, 458, 120}, {3, 253, 200}, {4, 149, 99}, {255, 45, 99}};
  for (const auto& p : placed) bar->AddRightButton("x", 0, p.kind, nullptr);
  for (int i = 0; i < static_cast<int>(std::size(placed)); ++i) {
    EXPECT_EQ(bar->RightButton(i + 1)->Left(), placed[i].left) << int(placed[i].kind);
    EXPECT_EQ(bar->RightButton(i + 1)->Width(), placed[i].width) << int(placed[i].kind);
  }
}

TEST_F(ButtonBar, AThirteenthAddIsDropped) {
  for (int i = 1; i <= 13; ++i) bar->AddLeftButton("L" + std::to_string(i), i, 0, nullptr);
  EXPECT_EQ(bar->LeftCount(), 12);
  EXPECT_EQ(bar->LeftButton(12)->Caption(), "L12");
  EXPECT_EQ(bar->LeftButton(12)->Left(), 5 + 11 * 35);
  bar->AddRightButton("R", 1, 1, nullptr);
  EXPECT_EQ(bar->RightCount(), 1);
  EXPECT_EQ(bar->RightButton(1)->Left(), 618);
}

TEST_F(ButtonBar, AddedButtonsAreBoldModernAndClickTheirHandler) {
  bar->AddRightButton("&Next", 2, 1, Handler("next"));
  bar->AddLeftButton("&Exit", 1, 1, Handler("exit"));
  TLbSpeedButton* next = bar->RightButton(1);
  EXPECT_EQ(next->Style(), bsModern);
  EXPECT_TRUE(next->Font().Style & fsBold);
  EXPECT_EQ(next->Alignment(), TAlignment::taCenter);
  next->MouseInput(TMouseAction::Down, TMouseButton::mbLeft, 0, 5, 5);
  next->MouseInput(TMouseAction::Up, TMouseButton::mbLeft, 0, 5, 5);
  EXPECT_TRUE(form->DialogChar('e'));
  EXPECT_EQ(clicked, (std::vector<std::string>{"next", "exit"}));
  // The owner may hold every handler back, for the buttons added before too.
  bool allowed = false;
  bar->MayRunHandlers = [&] { return allowed; };
  EXPECT_TRUE(form->DialogChar('e'));
  allowed = true;
  EXPECT_TRUE(form->DialogChar('n'));
  EXPECT_EQ(clicked, (std::vector<std::string>{"next", "exit", "next"}));
}

TEST_F(ButtonBar, ButtonsAreBlackOnBlackBeforeSetColors) {
  bar->AddRightButton("&Next", 2, 1, nullptr);
  TLbSpeedButton* b = bar->RightButton(1);
  EXPECT_EQ(b->Color(), clBlack);
  EXPECT_EQ(b->Font().Color, clBlack);
  EXPECT_EQ(b->LightColor(), clBlack);
  EXPECT_EQ(b->ShadowColor(), clBlack);
}

TEST_F(ButtonBar, SetColorsRecoloursExactlyTheButtonsInUse) {
  bar->AddLeftButton("&Exit", 1, 1, nullptr);
  bar->AddRightButton("&Next", 2, 1, nullptr);
  const TColor untouched = bar->LeftButton(2)->Color();
  bar->SetColors(clWhite, clLime, clNavy, clBlue, clCream);
  EXPECT_EQ(bar->Color(), clCream);
  for (TLbSpeedButton* b : {bar->LeftButton(1), bar->RightButton(1)}) {
    EXPECT_EQ(b->Font().Color, clWhite);
    EXPECT_EQ(b->ShadowColor(), clLime);
    EXPECT_EQ(b->Color(), clNavy);
    EXPECT_EQ(b->LightColor(), clBlue);
    EXPECT_TRUE(b->Font().Style & fsBold);
  }
  EXPECT_EQ(bar->LeftButton(2)->Color(), untouched);
  EXPECT_EQ(bar->LeftButton(2)->LightColor(), clWhite);

  // Kept for every button added later, on any bar.
  auto* other = form->Create<tMvButtonBar>();
  other->SetParent(form.get());
  other->AddLeftButton("&Help", 5, 1, nullptr);
  EXPECT_EQ(other->LeftButton(1)->Color(), clNavy);
  EXPECT_EQ(other->LeftButton(1)->Font().Color, clWhite);
  EXPECT_EQ(other->LeftButton(1)->ShadowColor(), clLime);
  EXPECT_EQ(tMvButtonBar::SharedColors().LightColor, clBlue);
}

}  // namespace
