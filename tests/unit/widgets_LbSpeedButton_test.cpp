#include "widgets/LbSpeedButton.h"

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <thread>

#include "ui/ActnList.h"
#include "ui/Application.h"
#include "ui/Forms.h"
#include "ui/headless/HeadlessBackend.h"

namespace {

THeadlessBackend& Headless() { return dynamic_cast<THeadlessBackend&>(Application().Backend()); }

// Serves the main thread until the condition holds; the deadline only keeps
// a broken worker from hanging the test run.
template <class Condition>
bool PumpUntil(Condition done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    Application().CheckSynchronize();
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

const TRecordingCanvas& LastPaint(const TLbSpeedButton& button) {
  return THeadlessBackend::PeerOf(button).LastPaint();
}

// The colour of a flat-framed face, which fills its whole rectangle with it.
TColor PaintedFace(const TLbSpeedButton& button) {
  const std::vector<TCanvasOp> fills = LastPaint(button).OpsOf(TCanvasOpKind::FillRect);
  if (fills.empty()) return clNone;
  return fills.front().Brush.Color;
}

class SpeedButton : public ::testing::Test {
 protected:
  void SetUp() override {
    Application().OnException = nullptr;
    Headless().SetScreenColorDepth(32);
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(0, 0, 400, 300);
    form->Show();
  }
  void TearDown() override {
    form.reset();
    Headless().SetScreenColorDepth(32);
    Application().OnException = nullptr;
  }

  TLbSpeedButton* NewButton(int left = 10) {
    TLbSpeedButton* b = form->Create<TLbSpeedButton>();
    b->SetParent(form.get());
    b->SetLeft(left);
    b->OnClick = [this, b](TObject* sender) {
      EXPECT_EQ(sender, b);
      ++clicks;
    };
    return b;
  }

  static void Press(TLbSpeedButton* b) { b->MouseInput(TMouseAction::Down, TMouseButton::mbLeft, 0, 5, 5); }
  static void Release(TLbSpeedButton* b) { b->MouseInput(TMouseAction::Up, TMouseButton::mbLeft, 0, 5, 5); }

  std::unique_ptr<TForm> form;
  int clicks = 0;
};

TEST_F(SpeedButton, OwnerConstructorDefaults) {
  TFont formFont;
  formFont.Name = "Tahoma";
  formFont.Height = 13;
  form->SetFont(formFont);
  TLbSpeedButton* b = NewButton();
  EXPECT_EQ(b->Width(), 100);
  EXPECT_EQ(b->Height(), 23);
  EXPECT_EQ(b->Style(), bsNormal);
  EXPECT_EQ(b->ColorStyle(), lcsCustom);
  EXPECT_EQ(b->Alignment(), TAlignment::taLeftJustify);
  EXPECT_EQ(b->LightColor(), clWhite);
  EXPECT_EQ(b->ShadowColor(), clBlack);
  EXPECT_EQ(b->ColorWhenDown(), clNone);
  EXPECT_EQ(b->HotTrackColor(), clNone);
  EXPECT_FALSE(b->WordWrap());
  EXPECT_FALSE(b->SlowDecease());
  EXPECT_EQ(b->NumGlyphs(), 0);
  EXPECT_EQ(b->HotTrackFont(), formFont);
  EXPECT_EQ(b->ClassName(), "TLbSpeedButton");
  EXPECT_EQ(b->Kind(), TControlKind::Custom);
  EXPECT_EQ(b->ControlStyle & csOpaque, 0u);

  // bsNormal is drawn as the gradient face.
  b->SetCaption("&Next");
  EXPECT_EQ(b->Text(), "&Next");
  b->Repaint();
  EXPECT_EQ(LastPaint(*b).OpsOf(TCanvasOpKind::FillRect).size(), 62u);
  EXPECT_EQ(LastPaint(*b).OpsOf(TCanvasOpKind::RoundRect).size(), 1u);
}

TEST_F(SpeedButton, CreateAtPlacesTheButtonOnItsOwner) {
  form->SetFont(TFont{"Tahoma", 13, 0, clRed});
  TLbSpeedButton* b = TLbSpeedButton::CreateAt(form.get(), 618, 90, 4, clBlue, clLime);
  EXPECT_EQ(b->Owner(), form.get());
  EXPECT_EQ(b->Parent(), form.get());
  EXPECT_EQ(b->BoundsRect(), (TRect{618, 4, 708, 27}));
  EXPECT_EQ(b->LightColor(), clBlue);
  EXPECT_EQ(b->ShadowColor(), clLime);
  EXPECT_EQ(b->Alignment(), TAlignment::taCenter);
  EXPECT_FALSE(b->ParentColor());
  EXPECT_EQ(b->HotTrackFont(), TFont());
}

TEST_F(SpeedButton, ModernStyleOnALowColourScreenIsKeptAsNormal) {
  TLbSpeedButton* b = NewButton();
  struct Case {
    int depth;
    TLbSpeedButtonStyle set, stored;
  } cases[] = {
      {8, bsModern, bsNormal}, {4, bsModern, bsNormal}, {16, bsModern, bsModern},
      {8, bsOld, bsOld},       {32, bsShape, bsShape},
  };
  for (const Case& c : cases) {
    Headless().SetScreenColorDepth(c.depth);
    b->SetStyle(bsEncarta);
    b->SetStyle(c.set);
    EXPECT_EQ(b->Style(), c.stored) << c.depth << " bits";
  }
  // A preset sets its style outright.
  Headless().SetScreenColorDepth(8);
  b->SetColorStyle(lcsGold);
  EXPECT_EQ(b->Style(), bsModern);
}

TEST_F(SpeedButton, QuickenPresetGivesTheDarkBlueFace) {
  TLbSpeedButton* b = NewButton();
  b->SetColorStyle(lcsQuicken);
  EXPECT_EQ(b->ColorStyle(), lcsQuicken);
  EXPECT_EQ(b->Color(), RGB(0, 48, 96));
  EXPECT_EQ(b->Font().Color, clWhite);
  EXPECT_EQ(b->Style(), bsQuicken);
  EXPECT_EQ(b->LightColor(), RGB(192, 192, 192));
  EXPECT_EQ(b->ColorWhenDown(), RGB(41, 101, 173));
  EXPECT_EQ(b->HotTrackColor(), RGB(156, 174, 206));
  EXPECT_FALSE(b->Flat());
  // Painted at once, with the rounded face.
  const std::vector<TCanvasOp> round = LastPaint(*b).OpsOf(TCanvasOpKind::RoundRect);
  ASSERT_EQ(round.size(), 1u);
  EXPECT_EQ(round[0].Brush.Color, RGB(0, 48, 96));

  // Back to custom: the values stay.
  b->SetColorStyle(lcsCustom);
  EXPECT_EQ(b->ColorStyle(), lcsCustom);
  EXPECT_EQ(b->Color(), RGB(0, 48, 96));
  EXPECT_EQ(b->Style(), bsQuicken);
}

TEST_F(SpeedButton, GroupedButtonsLatch) {
  for (bool allowAllUp : {false, true}) {
    form = std::make_unique<TForm>(nullptr);
    form->Show();
    TLbSpeedButton* first = NewButton(10);
    TLbSpeedButton* second = NewButton(120);
    TLbSpeedButton* other = NewButton(230);  // another group
    first->SetGroupIndex(1);
    second->SetGroupIndex(1);
    other->SetGroupIndex(2);
    first->SetAllowAllUp(allowAllUp);
    second->SetAllowAllUp(allowAllUp);
    other->SetDown(true);

    Press(first);
    Release(first);
    EXPECT_TRUE(first->Down());
    Press(second);
    Release(second);
    EXPECT_FALSE(first->Down());
    EXPECT_TRUE(second->Down());
    EXPECT_TRUE(other->Down());

    Press(second);
    Release(second);
    EXPECT_EQ(second->Down(), !allowAllUp) << "allowAllUp " << allowAllUp;
  }
}

TEST_F(SpeedButton, ReleasingOneOfTwoDownButtonsInAGroupEnds) {
  TLbSpeedButton* a = NewButton(10);
  TLbSpeedButton* b = NewButton(120);
  a->SetDown(true);
  b->SetDown(true);
  a->SetGroupIndex(3);
  b->SetGroupIndex(3);
  a->SetDown(false);
  EXPECT_FALSE(a->Down());
  EXPECT_FALSE(b->Down());
}

TEST_F(SpeedButton, UngroupedButtonIsDownOnlyWhileHeld) {
  TLbSpeedButton* b = NewButton();
  bool downDuringPress = false;
  b->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { downDuringPress = b->Down(); };
  Press(b);
  EXPECT_TRUE(b->Down());
  EXPECT_TRUE(b->AccessibleInfo().Pressed);
  EXPECT_FALSE(downDuringPress) << "the event comes before the press takes effect";
  Release(b);
  EXPECT_FALSE(b->Down());
  EXPECT_FALSE(b->AccessibleInfo().Pressed);
  EXPECT_EQ(clicks, 1);

  // Other mouse buttons do not press it.
  b->MouseInput(TMouseAction::Down, TMouseButton::mbRight, 0, 5, 5);
  EXPECT_FALSE(b->Down());
  b->MouseInput(TMouseAction::Up, TMouseButton::mbRight, 0, 5, 5);
  EXPECT_EQ(clicks, 1);
}

TEST_F(SpeedButton, DoubleClickIsASecondPress) {
  TLbSpeedButton* b = NewButton();
  int doubleClicks = 0;
  b->OnDblClick = [&](TObject*) { ++doubleClicks; };
  Press(b);
  Release(b);
  b->MouseInput(TMouseAction::DoubleClick, TMouseButton::mbLeft, 0, 5, 5);
  EXPECT_TRUE(b->Down());
  Release(b);
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(doubleClicks, 0);
}

TEST_F(SpeedButton, HotTrackSwitchesAtOnceWithoutSlowFade) {
  TLbSpeedButton* b = NewButton();
  b->SetStyle(bsEncarta);
  b->SetColor(clBlack);
  b->SetHotTrackColor(clWhite);
  int enters = 0, exits = 0;
  b->OnMouseEnter = [&](TObject*) { ++enters; };
  b->OnMouseExit = [&](TObject*) { ++exits; };

  b->MouseInput(TMouseAction::Move, TMouseButton::mbLeft, 0, 5, 5);
  EXPECT_TRUE(b->MouseInside());
  EXPECT_EQ(b->FadeStep(), 8);
  EXPECT_EQ(PaintedFace(*b), clWhite);
  b->MouseExitWindow();
  EXPECT_FALSE(b->MouseInside());
  EXPECT_EQ(b->FadeStep(), 0);
  EXPECT_EQ(PaintedFace(*b), clBlack);
  EXPECT_EQ(enters, 1);
  EXPECT_EQ(exits, 1);
}

TEST_F(SpeedButton, DisabledButtonIgnoresThePointer) {
  TLbSpeedButton* b = NewButton();
  b->SetHotTrackColor(clWhite);
  int enters = 0, exits = 0;
  b->OnMouseEnter = [&](TObject*) { ++enters; };
  b->OnMouseExit = [&](TObject*) { ++exits; };
  b->SetEnabled(false);
  b->MouseInput(TMouseAction::Move, TMouseButton::mbLeft, 0, 5, 5);
  EXPECT_FALSE(b->MouseInside());
  EXPECT_EQ(b->FadeStep(), 0);
  Press(b);
  EXPECT_FALSE(b->Down());
  b->MouseExitWindow();
  EXPECT_EQ(enters, 0);
  EXPECT_EQ(exits, 0);
}

TEST_F(SpeedButton, SlowFadeStepsBackInEighths) {
  TLbSpeedButton* b = NewButton();
  b->SetStyle(bsEncarta);
  b->SetColor(clBlack);
  b->SetHotTrackColor(clWhite);
  b->SetSlowDecease(true);
  ASSERT_TRUE(b->SlowDecease());

  b->MouseInput(TMouseAction::Move, TMouseButton::mbLeft, 0, 5, 5);
  EXPECT_EQ(PaintedFace(*b), clWhite);
  b->MouseExitWindow();
  EXPECT_EQ(b->FadeStep(), 8) << "the ticks do the fading";

  std::vector<int> steps;
  std::vector<TColor> faces;
  ASSERT_TRUE(PumpUntil([&] {
    if (steps.empty() || steps.back() != b->FadeStep()) {
      steps.push_back(b->FadeStep());
      faces.push_back(PaintedFace(*b));
    }
    return b->FadeStep() == 0;
  }));
  EXPECT_EQ(steps, (std::vector<int>{8, 7, 6, 5, 4, 3, 2, 1, 0}));
  EXPECT_EQ(faces[4], RGB(127, 127, 127));
  EXPECT_EQ(faces.back(), clBlack);
  // Eight ticks of 30 ms: the fade lasts about 240 ms.
  EXPECT_EQ(8 * TLbButtonThread::TickInterval, std::chrono::milliseconds(240));

  // The thread waits for the next leave; nothing moves meanwhile.
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  Application().CheckSynchronize();
  EXPECT_EQ(b->FadeStep(), 0);

  b->SetSlowDecease(false);
  EXPECT_FALSE(b->SlowDecease());
}

TEST_F(SpeedButton, EnteringDuringAFadeHoldsTheHotColour) {
  TLbSpeedButton* b = NewButton();
  b->SetHotTrackColor(clWhite);
  b->SetSlowDecease(true);
  b->MouseInput(TMouseAction::Move, TMouseButton::mbLeft, 0, 5, 5);
  b->MouseExitWindow();
  ASSERT_TRUE(PumpUntil([&] { return b->FadeStep() < 8; }));
  b->MouseInput(TMouseAction::Move, TMouseButton::mbLeft, 0, 5, 5);
  EXPECT_EQ(b->FadeStep(), 8);
  b->FadeTick();  // asked for just before the pointer came back
  EXPECT_EQ(b->FadeStep(), 8);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  Application().CheckSynchronize();
  EXPECT_EQ(b->FadeStep(), 8);
}

// The fade's worker asks the main thread for every tick. Freed while one
// such request waits, the button serves it without touching itself, and no
// request follows.
TEST_F(SpeedButton, FreeingAFadingButtonStopsItsThread) {
  TLbSpeedButton* b = NewButton();
  b->SetHotTrackColor(clWhite);
  b->SetSlowDecease(true);
  b->MouseInput(TMouseAction::Move, TMouseButton::mbLeft, 0, 5, 5);
  b->MouseExitWindow();
  ASSERT_TRUE(PumpUntil([&] { return b->FadeStep() < 7; }));
  const int asked = Headless().Wakes();
  ASSERT_TRUE(PumpUntil([&] { return Headless().Wakes() > asked; }));
  form.reset();
  const int wakes = Headless().Wakes();
  std::this_thread::sleep_for(4 * TLbButtonThread::TickInterval);
  Application().CheckSynchronize();
  EXPECT_EQ(Headless().Wakes(), wakes);
}

TEST_F(SpeedButton, AcceleratorShowsThePressAndClicks) {
  TLbSpeedButton* b = NewButton();
  TLbSpeedButton* partner = NewButton(120);
  b->SetCaption("&Next");
  b->SetGroupIndex(1);
  partner->SetGroupIndex(1);
  partner->SetDown(true);
  bool downDuringClick = false;
  b->OnClick = [&](TObject*) {
    downDuringClick = b->Down();
    ++clicks;
  };
  EXPECT_TRUE(form->DialogChar('n'));
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(downDuringClick);
  EXPECT_FALSE(b->Down());
  EXPECT_TRUE(partner->Down()) << "the group is left as it was";

  struct Case {
    char key;
    bool enabled, visible, formVisible;
  } refused[] = {
      {'x', true, true, true},
      {'n', false, true, true},
      {'n', true, false, true},
      {'n', true, true, false},
  };
  for (const Case& c : refused) {
    b->SetEnabled(c.enabled);
    b->SetVisible(c.visible);
    form->SetVisible(c.formVisible);
    EXPECT_FALSE(b->DialogChar(c.key)) << c.key << c.enabled << c.visible << c.formVisible;
  }
  EXPECT_EQ(clicks, 1);
}

TEST_F(SpeedButton, PopupMenuOpensBelowBeforeTheClick) {
  std::vector<std::string> log;
  form->SetBounds(100, 50, 400, 300);
  TPopupMenu* menu = form->Create<TPopupMenu>();
  menu->Add("&Copy", [&](TObject*) { log.push_back("copy"); });
  TLbSpeedButton* b = NewButton(10);
  b->SetTop(20);
  b->OnClick = [&](TObject*) { log.push_back("click"); };
  b->SetPopupMenu(menu);

  const std::vector<TCanvasOp> arrow = LastPaint(*b).OpsOf(TCanvasOpKind::DrawTransparent);
  ASSERT_EQ(arrow.size(), 1u);
  EXPECT_EQ(arrow[0].Rect.Left, 89);
  EXPECT_EQ(arrow[0].Rect.Top, 10);
  EXPECT_EQ(arrow[0].BitmapWidth, 5);
  EXPECT_EQ(arrow[0].BitmapHeight, 3);

  Headless().PopupMenus.clear();
  Headless().PopupMenuChooser = [&](const TPopupMenuCall&) {
    log.push_back("popup");
    return 0;
  };
  Press(b);
  Release(b);
  Headless().PopupMenuChooser = nullptr;
  EXPECT_EQ(log, (std::vector<std::string>{"popup", "copy", "click"}));
  ASSERT_EQ(Headless().PopupMenus.size(), 1u);
  EXPECT_EQ(Headless().PopupMenus[0].At, (TPoint{110, 93}));
  EXPECT_EQ(Headless().PopupMenus[0].Captions, (std::vector<std::string>{"&Copy"}));
}

TEST_F(SpeedButton, AFreedMenuIsDroppedAndAButtonFreedByItsItemStops) {
  auto menu = std::make_unique<TPopupMenu>(nullptr);
  TLbSpeedButton* b = NewButton();
  b->SetPopupMenu(menu.get());
  menu.reset();
  EXPECT_EQ(b->PopupMenu(), nullptr);
  Headless().PopupMenus.clear();
  b->Click();
  EXPECT_TRUE(Headless().PopupMenus.empty());
  EXPECT_EQ(clicks, 1);

  auto owned = std::make_unique<TLbSpeedButton>(nullptr);
  owned->SetParent(form.get());
  bool clicked = false;
  owned->OnClick = [&](TObject*) { clicked = true; };
  TPopupMenu* closeMenu = form->Create<TPopupMenu>();
  closeMenu->Add("&Close", [&](TObject*) { owned.reset(); });
  owned->SetPopupMenu(closeMenu);
  Headless().PopupMenuChooser = [](const TPopupMenuCall&) { return 0; };
  TLbSpeedButton* shown = owned.get();
  shown->Click();
  Headless().PopupMenuChooser = nullptr;
  EXPECT_EQ(owned, nullptr);
  EXPECT_FALSE(clicked);
}

TEST_F(SpeedButton, ALinkedActionRunsOnClickWithoutAHandler) {
  TAction* action = form->Create<TAction>();
  int runs = 0;
  action->OnExecute = [&](TObject*) { ++runs; };
  TLbSpeedButton* b = NewButton();
  b->SetAction(action);
  Press(b);
  Release(b);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(runs, 0);
  b->OnClick = nullptr;
  Press(b);
  Release(b);
  EXPECT_EQ(runs, 1);
}

TEST_F(SpeedButton, AnActionsImageBecomesTheGlyphOfAButtonWithoutOne) {
  constexpr TColor kBack = RGB(0, 128, 128);
  TImageList* images = form->Create<TImageList>(3, 2);
  TBitmap picture(6, 2, kBack);  // two pictures; the first has a red and a blue pixel
  picture.SetPixel(0, 0, clRed);
  picture.SetPixel(3, 0, clBlue);
  images->Add(picture);
  TActionList* list = form->Create<TActionList>();
  list->SetImages(images);
  TActionList* bare = form->Create<TActionList>();

  struct Case {
    const char* name;
    TActionList* list;
    int index;
    bool hasGlyph;
    bool takes;
  };
  const Case cases[] = {
      {"takes the picture", list, 0, false, true},
      {"the last picture", list, 1, false, true},
      {"keeps its own glyph", list, 0, true, false},
      {"no picture", list, -1, false, false},
      {"index past the list", list, 2, false, false},
      {"list without images", bare, 0, false, false},
      {"no list", nullptr, 0, false, false},
  };
  for (const Case& c : cases) {
    TLbSpeedButton* b = NewButton();
    const TBitmap own(4, 4, clLime);
    if (c.hasGlyph) b->SetGlyph(&own);
    TAction* action = form->Create<TAction>();
    action->SetActionList(c.list);
    action->SetImageIndex(c.index);
    b->SetAction(action);
    if (c.takes) {
      ASSERT_EQ(b->Glyph().Width(), 3) << c.name;
      ASSERT_EQ(b->Glyph().Height(), 2) << c.name;
      EXPECT_EQ(b->NumGlyphs(), 1) << c.name;
      EXPECT_EQ(b->Glyph().Pixel(0, 0), c.index == 0 ? clRed : clBlue) << c.name;
      EXPECT_EQ(b->Glyph().Pixel(1, 1), clFuchsia) << c.name;  // the picture's transparent part
    } else {
      EXPECT_EQ(b->Glyph().Width(), c.hasGlyph ? 4 : 0) << c.name;
      EXPECT_EQ(b->NumGlyphs(), c.hasGlyph ? 1 : 0) << c.name;
    }
  }
}

TEST_F(SpeedButton, AGlyphArrivesWhenTheActionGetsItsPictureLater) {
  TImageList* images = form->Create<TImageList>(2, 2);
  images->Add(TBitmap(2, 2, clRed));
  TActionList* list = form->Create<TActionList>();
  TAction* action = form->Create<TAction>();
  action->SetActionList(list);
  action->SetImageIndex(0);
  TLbSpeedButton* b = NewButton();
  b->SetAction(action);
  EXPECT_TRUE(b->Glyph().Empty());
  list->SetImages(images);
  EXPECT_EQ(b->Glyph().Width(), 2);
  EXPECT_EQ(b->NumGlyphs(), 1);
  b->Repaint();
  EXPECT_EQ(LastPaint(*b).OpsOf(TCanvasOpKind::DrawTransparent).size(), 1u);
}

TEST_F(SpeedButton, GlyphCellsAreTakenAsSquares) {
  TLbSpeedButton* b = NewButton();
  struct Case {
    int w, h, cells;
  } cases[] = {{64, 16, 4}, {16, 16, 1}, {40, 16, 2}, {10, 16, 0}, {10, 0, 0}};
  for (const Case& c : cases) {
    const TBitmap glyph(c.w, c.h);
    b->SetGlyph(&glyph);
    EXPECT_EQ(b->NumGlyphs(), c.cells) << c.w << "x" << c.h;
  }
  b->SetGlyph(nullptr);
  EXPECT_EQ(b->NumGlyphs(), 0);
  EXPECT_EQ(b->Glyph().Height(), 0);
}

TEST_F(SpeedButton, CaptionChangeRepaintsWithTheFitCaption) {
  TLbSpeedButton* b = NewButton();
  b->SetWidth(40);
  b->SetCaption("A much longer caption");
  Application().ProcessMessages();
  const std::vector<std::string> lines = LastPaint(*b).TextLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_LT(lines[0].size(), std::string("A much longer caption").size());
  EXPECT_EQ(lines[0], std::string("A much longer caption").substr(0, lines[0].size()));
}

// The application object takes the thread that first uses it for the main
// thread; that must be the test's, not a worker's.
class LbButtonThread : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(Application().IsMainThread()); }
};

TEST_F(LbButtonThread, TicksOnTheMainThreadUntilPaused) {
  int ticks = 0;
  bool offMainThread = false;
  std::unique_ptr<TLbButtonThread> thread;
  thread = std::make_unique<TLbButtonThread>([&] {
    if (!Application().IsMainThread()) offMainThread = true;
    if (++ticks == 3) thread->Suspend();
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  Application().CheckSynchronize();
  EXPECT_EQ(ticks, 0) << "created paused";
  EXPECT_TRUE(thread->Suspended());

  thread->Resume();
  ASSERT_TRUE(PumpUntil([&] { return ticks == 3; }));
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  Application().CheckSynchronize();
  EXPECT_EQ(ticks, 3);
  EXPECT_FALSE(offMainThread);

  thread->Resume();
  ASSERT_TRUE(PumpUntil([&] { return ticks == 4; }));
  thread.reset();
}

TEST_F(LbButtonThread, TickFailuresReachTheApplicationHandler) {
  std::vector<std::string> errors;
  Application().OnException = [&](TObject*, const std::exception& e) { errors.push_back(e.what()); };
  int ticks = 0;
  {
    TLbButtonThread thread([&] {
      if (++ticks <= 2) throw std::runtime_error("tick failed");
    });
    thread.Resume();
    ASSERT_TRUE(PumpUntil([&] { return ticks >= 3; }));
  }
  Application().OnException = nullptr;
  EXPECT_EQ(errors, (std::vector<std::string>{"tick failed", "tick failed"}));
}

TEST_F(LbButtonThread, StopsWhileATickWaitsForTheMainThread) {
  int ticks = 0;
  auto thread = std::make_unique<TLbButtonThread>([&] { ++ticks; });
  thread->Resume();
  std::this_thread::sleep_for(std::chrono::milliseconds(80));
  thread.reset();  // must neither hang nor leave a call queued
  const int served = ticks;
  Application().CheckSynchronize();
  EXPECT_EQ(ticks, served);
}

}  // namespace
