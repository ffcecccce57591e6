#include "ui/ActnList.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "ui/Application.h"
#include "ui/Controls.h"
#include "ui/Forms.h"
#include "ui/RecordingCanvas.h"

namespace {

constexpr TColor kBack = RGB(0, 128, 128);  // the pictures' transparent colour

// A 2 x 2 picture: one transparent pixel at the bottom left, three coloured.
TBitmap Picture(TColor a, TColor b, TColor c) {
  TBitmap p(2, 2);
  p.SetPixel(0, 0, a);
  p.SetPixel(1, 0, b);
  p.SetPixel(0, 1, kBack);
  p.SetPixel(1, 1, c);
  return p;
}

TEST(ImageList, AddTakesOnePictureOrAStripAndRefusesOtherSizes) {
  TImageList list(nullptr, 2, 2);
  EXPECT_EQ(list.Add(Picture(clRed, clLime, clBlue)), 0);
  TBitmap strip(6, 2, clWhite);
  strip.SetPixel(2, 0, clRed);
  strip.SetPixel(5, 1, clNavy);
  EXPECT_EQ(list.Add(strip), 1);
  ASSERT_EQ(list.Count(), 4);
  EXPECT_EQ(list.Image(2).Pixel(0, 0), clRed);
  EXPECT_EQ(list.Image(3).Pixel(1, 1), clNavy);
  EXPECT_EQ(list.Image(3).Width(), 2);

  const TBitmap wrong[] = {TBitmap(), TBitmap(3, 2), TBitmap(2, 3), TBitmap(4, 1)};
  for (const TBitmap& bitmap : wrong) EXPECT_THROW(list.Add(bitmap), std::invalid_argument) << bitmap.Width();
  EXPECT_EQ(list.Count(), 4);
  EXPECT_THROW(list.Image(-1), std::out_of_range);
  EXPECT_THROW(list.Image(4), std::out_of_range);
  EXPECT_THROW(TImageList(nullptr, 0, 16), std::invalid_argument);
}

TEST(ImageList, DrawLeavesOutTheTransparentColourAndGreysTheDisabledLook) {
  TImageList list(nullptr, 2, 2);
  list.Add(Picture(RGB(200, 0, 0), RGB(0, 100, 0), RGB(10, 20, 30)));

  TBitmap target(4, 3, clFuchsia);
  list.Draw(target, 1, 1, 0, true);
  EXPECT_EQ(target.Pixel(1, 1), RGB(200, 0, 0));
  EXPECT_EQ(target.Pixel(2, 1), RGB(0, 100, 0));
  EXPECT_EQ(target.Pixel(1, 2), clFuchsia);  // transparent
  EXPECT_EQ(target.Pixel(2, 2), RGB(10, 20, 30));
  EXPECT_EQ(target.Pixel(0, 0), clFuchsia);  // untouched around it

  TBitmap greyed(2, 2, clFuchsia);
  list.Draw(greyed, 0, 0, 0, false);
  EXPECT_EQ(greyed.Pixel(0, 0), RGB(60, 60, 60));
  EXPECT_EQ(greyed.Pixel(1, 0), RGB(59, 59, 59));
  EXPECT_EQ(greyed.Pixel(0, 1), clFuchsia);

  TBitmap edge(2, 2, clWhite);
  list.Draw(edge, 1, 1, 0, true);  // cut off, not written past the bitmap
  EXPECT_EQ(edge.Pixel(1, 1), RGB(200, 0, 0));
  EXPECT_THROW(list.Draw(edge, 0, 0, 1, true), std::out_of_range);

  TRecordingCanvas canvas;
  list.Draw(canvas, 5, 7, 0, true);
  const std::vector<TCanvasOp> ops = canvas.OpsOf(TCanvasOpKind::DrawTransparent);
  ASSERT_EQ(ops.size(), 1u);
  EXPECT_EQ(ops[0].Rect.Left, 5);
  EXPECT_EQ(ops[0].Rect.Top, 7);
  EXPECT_EQ(ops[0].TransparentColor, kBack);
}

class Actions : public ::testing::Test {
 protected:
  void SetUp() override {
    Application().OnException = nullptr;
    form = std::make_unique<TForm>(nullptr);
  }
  void TearDown() override { Application().OnException = nullptr; }

  std::unique_ptr<TForm> form;
};

// Notes every change of its action it is told about.
class TActionProbe : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  int Changes = 0;
  std::function<void()> OnChange;

 protected:
  void ActionChange(TObject* sender, bool checkDefaults) override {
    TGraphicControl::ActionChange(sender, checkDefaults);
    ++Changes;
    if (OnChange) OnChange();
  }
};

TEST_F(Actions, LinkedControlsFollowTheAction) {
  TAction* action = form->Create<TAction>();
  action->SetCaption("&Open");
  auto* a = form->Create<TActionProbe>();
  auto* b = form->Create<TActionProbe>();
  a->SetCaption("old");
  a->SetAction(action);
  b->SetAction(action);
  EXPECT_EQ(a->Action(), action);
  EXPECT_EQ(a->Caption(), "&Open");
  EXPECT_EQ(a->Changes, 1);

  action->SetCaption("&Save");
  EXPECT_EQ(b->Caption(), "&Save");
  action->SetImageIndex(3);
  action->SetImageIndex(3);  // no change, no news
  EXPECT_EQ(a->Changes, 3);

  a->SetAction(nullptr);
  action->SetCaption("&Close");
  EXPECT_EQ(a->Caption(), "&Save");
  EXPECT_EQ(b->Caption(), "&Close");
  EXPECT_EQ(action->Clients(), (std::vector<TControl*>{b}));
}

TEST_F(Actions, AControlMayUnlinkAnotherWhileTheActionChanges) {
  TAction* action = form->Create<TAction>();
  auto* a = form->Create<TActionProbe>();
  auto* b = form->Create<TActionProbe>();
  a->SetAction(action);
  b->SetAction(action);
  a->OnChange = [b] { b->SetAction(nullptr); };
  action->SetCaption("x");
  EXPECT_EQ(b->Changes, 1);  // only from its own linking
  EXPECT_EQ(b->Caption(), "");
}

TEST_F(Actions, FreeingEitherSideUnlinks) {
  auto action = std::make_unique<TAction>(nullptr);
  auto control = std::make_unique<TActionProbe>(nullptr);
  auto other = std::make_unique<TActionProbe>(nullptr);
  control->SetAction(action.get());
  other->SetAction(action.get());
  other.reset();
  EXPECT_EQ(action->Clients(), (std::vector<TControl*>{control.get()}));
  action->SetCaption("still safe");
  action.reset();
  EXPECT_EQ(control->Action(), nullptr);
  control->Click();  // nothing left to run

  auto list = std::make_unique<TActionList>(nullptr);
  auto images = std::make_unique<TImageList>(nullptr);
  auto listed = std::make_unique<TAction>(nullptr);
  listed->SetActionList(list.get());
  list->SetImages(images.get());
  EXPECT_EQ(list->Actions(), (std::vector<TAction*>{listed.get()}));
  images.reset();
  EXPECT_EQ(list->Images(), nullptr);
  list.reset();
  EXPECT_EQ(listed->ActionList(), nullptr);
  auto again = std::make_unique<TActionList>(nullptr);
  listed->SetActionList(again.get());
  listed.reset();
  EXPECT_TRUE(again->Actions().empty());
}

TEST_F(Actions, ImagesAndListChangesReachTheControls) {
  TActionList* list = form->Create<TActionList>();
  TAction* action = form->Create<TAction>();
  auto* probe = form->Create<TActionProbe>();
  probe->SetAction(action);
  action->SetActionList(list);
  EXPECT_EQ(probe->Changes, 2);
  list->SetImages(form->Create<TImageList>());
  EXPECT_EQ(probe->Changes, 3);
}

TEST_F(Actions, ClickRunsTheControlsOwnHandlerElseTheAction) {
  TAction* action = form->Create<TAction>();
  std::vector<std::string> log;
  action->OnExecute = [&](TObject* sender) {
    EXPECT_EQ(sender, action);
    log.push_back("execute");
  };
  auto* probe = form->Create<TActionProbe>();
  probe->SetAction(action);
  probe->Click();
  probe->OnClick = [&](TObject*) { log.push_back("click"); };
  probe->Click();
  EXPECT_EQ(log, (std::vector<std::string>{"execute", "click"}));

  TAction* idle = form->Create<TAction>();
  EXPECT_FALSE(idle->Execute());
  EXPECT_TRUE(action->Execute());
}

TEST_F(Actions, AFailingHandlerReachesTheErrorHandler) {
  TAction* action = form->Create<TAction>();
  action->OnExecute = [](TObject*) { throw std::runtime_error("no disk"); };
  std::string seen;
  TObject* from = nullptr;
  Application().OnException = [&](TObject* sender, const std::exception& e) {
    seen = e.what();
    from = sender;
  };
  auto* probe = form->Create<TActionProbe>();
  probe->SetAction(action);
  probe->Click();
  EXPECT_EQ(seen, "no disk");
  EXPECT_EQ(from, action);
}

TEST_F(Actions, AnActionMayFreeItselfWhileItRuns) {
  auto action = std::make_unique<TAction>(nullptr);
  int runs = 0;
  action->OnExecute = [&](TObject*) {
    ++runs;
    action.reset();
  };
  auto probe = std::make_unique<TActionProbe>(nullptr);
  probe->SetAction(action.get());
  probe->Click();
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(probe->Action(), nullptr);
}

}  // namespace
