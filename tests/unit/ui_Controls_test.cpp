#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <thread>

#include "ui/Application.h"
#include "ui/Controls.h"
#include "ui/Forms.h"
#include "ui/StdCtrls.h"
#include "ui/headless/HeadlessBackend.h"

namespace {

THeadlessBackend& Headless() { return dynamic_cast<THeadlessBackend&>(Application().Backend()); }

// A graphic control that notes what reaches it and paints its rectangle.
class TProbe : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  std::vector<std::string> Log;
  void Click() override { Log.push_back("click"); TGraphicControl::Click(); }
  void DblClick() override { Log.push_back("dblclick"); }
  void MouseDown(TMouseButton, TShiftState shift, int x, int y) override {
    Log.push_back("down " + std::to_string(x) + "," + std::to_string(y) + ((shift & ssDouble) ? " double" : ""));
  }
  void MouseUp(TMouseButton, TShiftState, int x, int y) override {
    Log.push_back("up " + std::to_string(x) + "," + std::to_string(y));
  }
  void MouseEnter() override { Log.push_back("enter"); }
  void MouseLeave() override { Log.push_back("leave"); }
  bool DialogChar(char key) override {
    if (!IsAccel(key, Caption())) return false;
    Log.push_back("accel");
    return true;
  }
  void Paint(TCanvas& canvas) override {
    canvas.Brush.Color = Color();
    canvas.FillRect(ClientRect());
  }
};

class UiControls : public ::testing::Test {
 protected:
  void SetUp() override {
    Application().OnException = nullptr;
    Application().Title = "Install_Fotelix";
    Headless().MessageBoxes.clear();
    Headless().MessageBoxResponder = nullptr;
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(0, 0, 400, 300);
    a = form->Create<TProbe>();
    a->SetParent(form.get());
    a->SetBounds(10, 10, 100, 20);
    b = form->Create<TProbe>();
    b->SetParent(form.get());
    b->SetBounds(50, 15, 100, 20);  // overlaps a, above it
  }
  void TearDown() override { Application().OnException = nullptr; }

  std::unique_ptr<TForm> form;
  TProbe* a = nullptr;
  TProbe* b = nullptr;
};

TEST_F(UiControls, HandlerExceptionReachesTheApplicationHandlerOnce) {
  std::vector<std::string> seen;
  TObject* sender = nullptr;
  Application().OnException = [&](TObject* s, const std::exception& e) {
    sender = s;
    seen.push_back(e.what());
    throw std::runtime_error("handler fails too");
  };
  a->OnClick = [](TObject*) { throw std::runtime_error("disk full"); };
  a->Click();
  ASSERT_EQ(seen, std::vector<std::string>{"disk full"});
  EXPECT_EQ(sender, a);
  // The failing handler did not leave the dispatch point blocked.
  a->Click();
  EXPECT_EQ(seen.size(), 2u);
}

TEST_F(UiControls, FailuresOfHandlersRunByTheErrorHandlerAreReportedToo) {
  std::vector<std::string> seen;
  Application().OnException = [&](TObject*, const std::exception& e) {
    seen.push_back(e.what());
    // The error route processes messages, where another handler fails.
    if (seen.size() == 1) b->Click();
  };
  a->OnClick = [](TObject*) { throw std::runtime_error("first"); };
  b->OnClick = [](TObject*) { throw std::runtime_error("second"); };
  a->Click();
  EXPECT_EQ(seen, (std::vector<std::string>{"first", "second"}));
}

TEST_F(UiControls, EndlessChainsOfFailuresStop) {
  int reports = 0;
  Application().OnException = [&](TObject*, const std::exception&) {
    ++reports;
    a->Click();
  };
  a->OnClick = [](TObject*) { throw std::runtime_error("again"); };
  a->Click();
  EXPECT_EQ(reports, 4);
}

TEST_F(UiControls, WithoutHandlerTheErrorGoesToAMessageBoxWithTheTitle) {
  TTimer* timer = form->Create<TTimer>();
  timer->SetInterval(50);
  timer->SetOnTimer([](TObject*) { throw 42; });
  Headless().AdvanceClock(50);
  ASSERT_EQ(Headless().MessageBoxes.size(), 1u);
  EXPECT_EQ(Headless().MessageBoxes[0].Text, "An unknown error occurred.");
  EXPECT_EQ(Headless().MessageBoxes[0].Caption, "Install_Fotelix");
  EXPECT_EQ(Headless().MessageBoxes[0].Flags, unsigned{mbIconError});
}

TEST_F(UiControls, MouseGoesToTheTopmostGraphicChildInItsCoordinates) {
  form->MouseInput(TMouseAction::Move, TMouseButton::mbLeft, 0, 60, 20);
  form->MouseInput(TMouseAction::Down, TMouseButton::mbLeft, 0, 60, 20);
  // Dragged out of b while held: b keeps the mouse, and no click follows.
  form->MouseInput(TMouseAction::Move, TMouseButton::mbLeft, ssLeft, 20, 12);
  form->MouseInput(TMouseAction::Up, TMouseButton::mbLeft, 0, 20, 12);
  EXPECT_EQ(b->Log, (std::vector<std::string>{"enter", "down 10,5", "up -30,-3", "leave"}));
  EXPECT_EQ(a->Log, std::vector<std::string>{"enter"});
}

TEST_F(UiControls, PressAndReleaseInsideClicksBeforeTheRelease) {
  int clicks = 0;
  b->OnClick = [&](TObject* sender) {
    EXPECT_EQ(sender, b);
    ++clicks;
  };
  form->MouseInput(TMouseAction::Down, TMouseButton::mbLeft, 0, 140, 20);
  form->MouseInput(TMouseAction::Up, TMouseButton::mbLeft, 0, 141, 21);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(b->Log, (std::vector<std::string>{"enter", "down 90,5", "click", "up 91,6"}));
}

TEST_F(UiControls, PressOnTheWindowAndReleaseOnAChildClicksOnlyTheWindow) {
  int formClicks = 0;
  form->OnClick = [&](TObject*) { ++formClicks; };
  // The window holds the mouse from its press: the release over b is its own.
  form->MouseInput(TMouseAction::Down, TMouseButton::mbLeft, 0, 300, 200);
  form->MouseInput(TMouseAction::Up, TMouseButton::mbLeft, 0, 140, 20);
  EXPECT_EQ(std::count(b->Log.begin(), b->Log.end(), "click"), 0);
  EXPECT_EQ(formClicks, 1);
  // Without capture the release lands on b, which was not pressed.
  form->ControlStyle &= ~csCaptureMouse;
  form->MouseInput(TMouseAction::Down, TMouseButton::mbLeft, 0, 300, 200);
  form->MouseInput(TMouseAction::Up, TMouseButton::mbLeft, 0, 140, 20);
  EXPECT_EQ(std::count(b->Log.begin(), b->Log.end(), "click"), 0);
  EXPECT_EQ(formClicks, 1);
}

TEST_F(UiControls, DisabledChildIsHoveredButItsParentGetsThePress) {
  std::vector<std::string> formLog;
  form->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int x, int y) {
    formLog.push_back(std::to_string(x) + "," + std::to_string(y));
  };
  b->SetEnabled(false);
  form->MouseInput(TMouseAction::Down, TMouseButton::mbLeft, 0, 140, 20);
  EXPECT_EQ(b->Log, std::vector<std::string>{"enter"});
  EXPECT_EQ(formLog, std::vector<std::string>{"140,20"});
  form->MouseExitWindow();
  EXPECT_EQ(b->Log, (std::vector<std::string>{"enter", "leave"}));
}

TEST_F(UiControls, DoubleClickFollowsTheControlStyle) {
  form->MouseInput(TMouseAction::DoubleClick, TMouseButton::mbLeft, 0, 140, 20);
  b->ControlStyle &= ~csDoubleClicks;
  form->MouseInput(TMouseAction::DoubleClick, TMouseButton::mbLeft, 0, 140, 20);
  EXPECT_EQ(b->Log, (std::vector<std::string>{"enter", "dblclick", "down 90,5 double", "down 90,5"}));
}

TEST(UiAccelerator, MarkedCharacterOnly) {
  struct Case {
    const char* text;
    char key;
    bool expected;
  } cases[] = {
      {"&Next", 'n', true},    {"&Next", 'N', true},   {"&Next", 'e', false}, {"&&Next", 'n', false},
      {"A&&B&c", 'c', true},   {"A&&B&c", 'b', false}, {"Next&", 'x', false}, {"", 'a', false},
      {"E&xit", 'x', true},    {"&&", '&', false},
  };
  for (const Case& c : cases) EXPECT_EQ(TControl::IsAccel(c.key, c.text), c.expected) << c.text << " " << c.key;
}

TEST_F(UiControls, DialogCharStopsAtTheFirstTaker) {
  a->SetCaption("&Go");
  b->SetCaption("&Go on");
  EXPECT_TRUE(form->DialogChar('g'));
  EXPECT_EQ(a->Log, std::vector<std::string>{"accel"});
  EXPECT_TRUE(b->Log.empty());
  a->Hide();
  EXPECT_TRUE(form->DialogChar('G'));
  EXPECT_EQ(b->Log, std::vector<std::string>{"accel"});
  EXPECT_FALSE(form->DialogChar('x'));
}

TEST_F(UiControls, TimersTickAtTheirTimesAndStopFromTheirHandler) {
  TTimer* fast = form->Create<TTimer>();
  TTimer* slow = form->Create<TTimer>();
  std::vector<std::string> ticks;
  int fastTicks = 0;
  fast->SetInterval(50);
  fast->SetOnTimer([&](TObject*) {
    ticks.push_back("fast@" + std::to_string(Application().TickCount()));
    if (++fastTicks == 3) fast->SetEnabled(false);
  });
  const uint32_t start = Application().TickCount();
  slow->SetInterval(120);
  slow->SetOnTimer([&](TObject*) { ticks.push_back("slow@" + std::to_string(Application().TickCount() - start)); });
  Headless().AdvanceClock(250);
  ASSERT_EQ(ticks.size(), 5u);
  EXPECT_EQ(ticks[0], "fast@" + std::to_string(start + 50));
  EXPECT_EQ(ticks[2], "slow@120");
  EXPECT_EQ(ticks[3], "fast@" + std::to_string(start + 150));
  EXPECT_EQ(ticks[4], "slow@240");
  EXPECT_EQ(Application().TickCount(), start + 250);
}

TEST_F(UiControls, LateTimerTicksOnceLikeTheMessageLoop) {
  TTimer* timer = form->Create<TTimer>();
  int ticks = 0;
  timer->SetInterval(50);
  timer->SetOnTimer([&](TObject*) { ++ticks; });
  Application().Sleep(500);
  Application().ProcessMessages();
  EXPECT_EQ(ticks, 1);
  timer->SetEnabled(false);
  Headless().AdvanceClock(500);
  EXPECT_EQ(ticks, 1);
}

TEST_F(UiControls, FreedTimerNeverTicks) {
  {
    TForm owner(nullptr);
    TTimer* timer = owner.Create<TTimer>();
    timer->SetInterval(10);
    timer->SetOnTimer([](TObject*) { FAIL() << "tick after free"; });
  }
  Headless().AdvanceClock(100);
}

TEST(UiSynchronize, RunsOnTheMainThreadAndCarriesExceptionsBack) {
  // The worker may be the first to ask for the application object; the main
  // thread must still be the one that started the process.
  std::thread::id ranOn;
  std::string failure;
  std::atomic<bool> done{false};
  std::thread worker([&] {
    Application().Synchronize([&] { ranOn = std::this_thread::get_id(); });
    try {
      Application().Synchronize([] { throw std::runtime_error("tick failed"); });
    } catch (const std::exception& e) {
      failure = e.what();
    }
    done = true;
  });
  while (!done) {
    Application().ProcessMessages();
    std::this_thread::yield();
  }
  worker.join();
  EXPECT_EQ(ranOn, std::this_thread::get_id());
  EXPECT_EQ(failure, "tick failed");
}

TEST_F(UiControls, FreeingAParentSetsItsOtherChildrenLoose) {
  TForm other(nullptr);
  auto panel = std::make_unique<TForm>(nullptr);
  a->SetParent(panel.get());
  EXPECT_EQ(form->ControlCount(), 1);
  panel.reset();
  EXPECT_EQ(a->Parent(), nullptr);
  EXPECT_THROW(form->SetParent(form.get()), std::invalid_argument);
}

TEST_F(UiControls, ChildrenFollowTheParentFontUntilGivenTheirOwn) {
  TFont big;
  big.Height = 20;
  form->SetFont(big);
  EXPECT_EQ(a->Font().Height, 20);
  TFont own = a->Font();
  own.Style = fsBold;
  a->SetFont(own);
  big.Height = 30;
  form->SetFont(big);
  EXPECT_EQ(a->Font().Height, 20);
  EXPECT_EQ(b->Font().Height, 30);
}

TEST_F(UiControls, ParentColourFollowsUntilAColourIsSet) {
  TLabel* label = form->Create<TLabel>();
  TCheckBox* box = form->Create<TCheckBox>();
  TEdit* edit = form->Create<TEdit>();
  for (TControl* c : std::initializer_list<TControl*>{label, box, edit}) c->SetParent(form.get());
  form->SetColor(clCream);
  EXPECT_EQ(label->Color(), clCream);
  EXPECT_EQ(box->Color(), clCream);
  EXPECT_EQ(edit->Color(), clWindow);  // fields keep their own colour
  label->SetColor(clRed);
  form->SetColor(clWhite);
  EXPECT_EQ(label->Color(), clRed);
  EXPECT_FALSE(label->ParentColor());
  EXPECT_EQ(box->Color(), clWhite);
}

TEST_F(UiControls, WindowPaintsItselfThenGraphicChildrenInTheirPlace) {
  a->SetColor(clRed);
  b->SetColor(clBlue);
  form->Show();
  Application().ProcessMessages();
  const TRecordingCanvas& paint = THeadlessBackend::PeerOf(*form).LastPaint();
  const auto fills = paint.OpsOf(TCanvasOpKind::FillRect);
  ASSERT_EQ(fills.size(), 3u);
  EXPECT_EQ(fills[0].Rect, (TRect{0, 0, 400, 300}));
  EXPECT_EQ(fills[1].Rect, (TRect{10, 10, 110, 30}));
  EXPECT_EQ(fills[1].Brush.Color, clRed);
  EXPECT_EQ(fills[2].Rect, (TRect{50, 15, 150, 35}));
  // Nothing changed: no second paint.
  const int paints = THeadlessBackend::PeerOf(*form).PaintCount();
  Application().ProcessMessages();
  EXPECT_EQ(THeadlessBackend::PeerOf(*form).PaintCount(), paints);
  b->Repaint();
  EXPECT_EQ(THeadlessBackend::PeerOf(*form).PaintCount(), paints + 1);
}

// A denser screen scales the layout's edges: neighbours still meet, the
// layout's own DPI changes nothing, every device pixel goes back to the
// layout pixel that covers it, and measured text keeps its room.
TEST(UiDpiScale, EdgesScaleSoThatNeighboursMeet) {
  struct Case {
    int dpi;
    int layout;
    int device;
  };
  const Case cases[] = {{96, -7, -7}, {96, 13, 13},  {144, 0, 0},  {144, 1, 2},  {144, 2, 3}, {144, 3, 5},
                        {144, -1, -1}, {144, -3, -4}, {120, 1, 1},  {120, 2, 3},  {192, 5, 10}};
  for (const Case& c : cases) {
    const TDpiScale scale(c.dpi);
    SCOPED_TRACE(std::to_string(c.dpi) + " dpi, layout " + std::to_string(c.layout));
    EXPECT_EQ(scale.Device(c.layout), c.device);
    EXPECT_EQ(scale.Layout(c.device), c.layout);
    EXPECT_EQ(scale.Layout(scale.Device(c.layout + 1) - 1), c.layout);
    const TRect left = scale.Device(TRect{c.layout - 5, 0, c.layout, 1});
    const TRect right = scale.Device(TRect{c.layout, 0, c.layout + 5, 1});
    EXPECT_EQ(left.Right, right.Left);
    for (int length : {0, 1, 7, 16}) EXPECT_GE(scale.Device(scale.LayoutLength(length)), length);
  }
  EXPECT_EQ(TDpiScale(144).LayoutLength(4), 3);
  EXPECT_EQ(TDpiScale(96).LayoutLength(17), 17);
}

}  // namespace
