#include <gtest/gtest.h>

#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "ui/ExtCtrls.h"
#include "ui/Forms.h"
#include "ui/RecordingCanvas.h"
#include "ui/StdCtrls.h"
#include "ui/headless/HeadlessBackend.h"

namespace {

THeadlessBackend& Headless() { return dynamic_cast<THeadlessBackend&>(Application().Backend()); }

class UiStdCtrls : public ::testing::Test {
 protected:
  void SetUp() override {
    Headless().MessageBoxes.clear();
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(0, 0, 770, 417);
  }
  template <class T>
  T* Make() {
    T* c = form->Create<T>();
    c->SetParent(form.get());
    return c;
  }
  std::unique_ptr<TForm> form;
};

TEST(UiTextLayout, PlatformRulesForBreaksAndAccelerators) {
  struct Case {
    const char* text;
    unsigned format;
    int width;
    std::vector<std::string> lines;
    int underline;  // of the first line
  } cases[] = {
      {"&Next", dtSingleLine, 100, {"Next"}, 0},
      {"E&xit", dtSingleLine | dtNoPrefix, 100, {"E&xit"}, -1},
      {"A&&B", 0, 100, {"A&B"}, -1},
      {"one\rtwo\r\nthree\nfour", 0, 100, {"one", "two", "three", "four"}, -1},
      {"one\rtwo", dtSingleLine, 100, {"one\rtwo"}, -1},
      // 5 pixels a character: 20 pixels hold four.
      {"aa bb cc", dtWordBreak, 20, {"aa", "bb", "cc"}, -1},
      {"aa b cc", dtWordBreak, 20, {"aa b", "cc"}, -1},
      {"abcdefgh ij", dtWordBreak, 20, {"abcdefgh", "ij"}, -1},
      {"aa bb", 0, 20, {"aa bb"}, -1},
      {"x\r\ry", dtWordBreak, 20, {"x", "", "y"}, -1},
      {"trail&", 0, 100, {"trail"}, -1},
  };
  const auto measure = [](const std::string& s) { return static_cast<int>(s.size()) * 5; };
  for (const Case& c : cases) {
    const auto lines = LayoutText(c.text, {0, 0, c.width, 100}, c.format, 10, measure);
    std::vector<std::string> texts;
    for (const auto& l : lines) texts.push_back(l.Text);
    EXPECT_EQ(texts, c.lines) << c.text;
    EXPECT_EQ(lines[0].Underline, c.underline) << c.text;
  }
}

TEST(UiTextLayout, AlignmentAndVerticalCentring) {
  const auto measure = [](const std::string& s) { return static_cast<int>(s.size()) * 5; };
  EXPECT_EQ(LayoutText("abcd", {10, 0, 110, 50}, dtCenter, 10, measure)[0].X, 50);
  EXPECT_EQ(LayoutText("abcd", {10, 0, 110, 50}, dtRight, 10, measure)[0].X, 90);
  EXPECT_EQ(LayoutText("abcd", {10, 0, 110, 50}, dtSingleLine | dtVCenter, 10, measure)[0].Y, 20);
  EXPECT_EQ(LayoutText("abcd", {10, 0, 110, 50}, dtSingleLine | dtBottom, 10, measure)[0].Y, 40);
}

TEST(UiRecordingCanvas, CalcRectMeasuresWithoutDrawing) {
  TRecordingCanvas canvas;
  canvas.Font.Height = 11;  // 6 pixels a character
  TRect r{0, 0, 40, 0};
  EXPECT_EQ(canvas.DrawText("ab cd ef", r, dtWordBreak | dtCalcRect), 22);
  EXPECT_EQ(r, (TRect{0, 0, 30, 22}));
  EXPECT_TRUE(canvas.Ops.empty());
  canvas.Font.Style = fsBold;
  EXPECT_EQ(canvas.TextWidth("&Go"), 21);
}

TEST_F(UiStdCtrls, TransparentLabelOverAPictureLeavesItsBackground) {
  TImage* image = Make<TImage>();
  image->SetBounds(0, 0, 369, 417);
  image->SetPicture(TBitmap(20, 20, clBlue));
  image->SetStretch(true);
  TLabel* word = Make<TLabel>();
  TFont font;
  font.Height = 21;
  font.Style = fsBold;
  font.Color = clRed;
  word->SetFont(font);
  word->SetTransparent(true);
  word->SetCaption("Download");
  word->SetBounds(32, 16, word->Width(), word->Height());
  EXPECT_EQ(word->Width(), 8 * 12);  // sized to its caption
  EXPECT_EQ(word->Height(), 21);
  form->Show();
  Application().ProcessMessages();
  const TRecordingCanvas& paint = THeadlessBackend::PeerOf(*form).LastPaint();
  ASSERT_EQ(paint.Ops.size(), 3u);
  EXPECT_EQ(paint.Ops[0].Kind, TCanvasOpKind::FillRect);  // the form
  EXPECT_EQ(paint.Ops[1].Kind, TCanvasOpKind::StretchDraw);
  EXPECT_EQ(paint.Ops[1].Rect, (TRect{0, 0, 369, 417}));
  EXPECT_EQ(paint.Ops[2].Kind, TCanvasOpKind::Text);  // no fill below the word
  EXPECT_EQ(paint.Ops[2].Font.Color, clRed);
  EXPECT_EQ(paint.Ops[2].Lines[0].X, 32);
  EXPECT_EQ(paint.Ops[2].Lines[0].Y, 16);
  // Moving the word repaints the window once more.
  const int paints = THeadlessBackend::PeerOf(*form).PaintCount();
  word->SetLeft(40);
  Application().ProcessMessages();
  EXPECT_EQ(THeadlessBackend::PeerOf(*form).PaintCount(), paints + 1);
}

TEST_F(UiStdCtrls, PictureUnscaledCentredOrStretched) {
  TImage* image = Make<TImage>();
  image->SetBounds(0, 0, 105, 105);
  struct Case {
    bool stretch, center;
    TCanvasOpKind kind;
    TRect rect;
  } cases[] = {
      {false, false, TCanvasOpKind::Draw, {0, 0, 40, 30}},
      {false, true, TCanvasOpKind::Draw, {32, 37, 72, 67}},
      {true, false, TCanvasOpKind::StretchDraw, {0, 0, 105, 105}},
      {true, true, TCanvasOpKind::StretchDraw, {0, 0, 105, 105}},
  };
  TRecordingCanvas empty;
  image->Paint(empty);
  EXPECT_TRUE(empty.Ops.empty());
  image->SetPicture(TBitmap(40, 30, clNavy));
  for (const Case& c : cases) {
    image->SetStretch(c.stretch);
    image->SetCenter(c.center);
    TRecordingCanvas canvas;
    image->Paint(canvas);
    ASSERT_EQ(canvas.Ops.size(), 1u);
    EXPECT_EQ(canvas.Ops[0].Kind, c.kind);
    EXPECT_EQ(canvas.Ops[0].Rect, c.rect) << c.stretch << c.center;
  }
}

TEST_F(UiStdCtrls, OpaqueDisabledLabelFillsAndGreysItsText) {
  TLabel* label = Make<TLabel>();
  label->SetAutoSize(false);
  label->SetBounds(5, 5, 100, 13);
  label->SetColor(clCream);
  label->SetCaption("&Folder");
  label->SetEnabled(false);
  TRecordingCanvas canvas;
  label->Paint(canvas);
  ASSERT_EQ(canvas.Ops.size(), 2u);
  EXPECT_EQ(canvas.Ops[0].Brush.Color, clCream);
  EXPECT_EQ(canvas.Ops[1].Font.Color, clGrayText);
  EXPECT_EQ(canvas.Ops[1].Lines[0].Underline, 0);
  EXPECT_EQ(label->Width(), 100);
}

TEST_F(UiStdCtrls, CheckBoxClickFollowsEveryChangeAndItsAccelerator) {
  TCheckBox* box = Make<TCheckBox>();
  box->SetCaption("I &agree");
  int clicks = 0;
  box->OnClick = [&](TObject*) { ++clicks; };
  box->SetChecked(true);
  box->SetChecked(true);
  EXPECT_EQ(clicks, 1);
  form->Show();
  EXPECT_TRUE(form->DialogChar('A'));
  EXPECT_FALSE(box->Checked());
  EXPECT_TRUE(box->Focused());
  box->SetEnabled(false);
  EXPECT_FALSE(form->DialogChar('a'));
  EXPECT_EQ(clicks, 2);
}

TEST_F(UiStdCtrls, RadioButtonsOnOneParentExcludeEachOther) {
  TRadioButton* one = Make<TRadioButton>();
  TRadioButton* two = Make<TRadioButton>();
  TPanel* other = Make<TPanel>();
  TRadioButton* elsewhere = form->Create<TRadioButton>();
  elsewhere->SetParent(other);
  elsewhere->SetChecked(true);
  one->SetChecked(true);
  two->SetChecked(true);
  EXPECT_FALSE(one->Checked());
  EXPECT_TRUE(two->Checked());
  EXPECT_TRUE(elsewhere->Checked());
}

TEST_F(UiStdCtrls, RadioGroupItemsIndexAndUserClicks) {
  TRadioGroup* group = Make<TRadioGroup>();
  group->SetBounds(200, 130, 185, 145);
  group->SetCaption("Internet-connection");
  int clicks = 0;
  group->OnClick = [&](TObject*) { ++clicks; };
  for (const char* item : {"&ISDN", "&Cable", "ADSL 2", "I &don't know"}) group->AddItem(item);
  EXPECT_EQ(group->ItemIndex(), -1);
  group->SetItemIndex(3);
  EXPECT_TRUE(group->Button(3)->Checked());
  EXPECT_EQ(clicks, 0);  // set by the program: no click
  form->Show();
  EXPECT_TRUE(form->DialogChar('c'));
  EXPECT_EQ(group->ItemIndex(), 1);
  EXPECT_FALSE(group->Button(3)->Checked());
  EXPECT_EQ(clicks, 1);
  EXPECT_THROW(group->SetItemIndex(4), std::out_of_range);
  group->ClearItems();
  EXPECT_EQ(group->ItemIndex(), -1);
  for (const char* item : {"a", "b"}) group->AddItem(item);
  EXPECT_EQ(group->ControlCount(), 2);
  EXPECT_EQ(group->Button(1)->Caption(), "b");
}

TEST_F(UiStdCtrls, EditReportsChangesAndLeavingTheField) {
  TEdit* edit = Make<TEdit>();
  TButton* other = Make<TButton>();
  std::vector<std::string> log;
  edit->OnChange = [&](TObject*) { log.push_back("change " + edit->Text()); };
  edit->OnExit = [&](TObject*) { log.push_back("exit"); };
  form->Show();
  edit->SetFocus();
  edit->TextEditedByUser("%!!+47-15QQw");
  other->SetFocus();
  edit->SetText("04");
  EXPECT_EQ(log, (std::vector<std::string>{"change %!!+47-15QQw", "exit", "change 04"}));
  edit->SetEnabled(false);
  EXPECT_THROW(edit->SetFocus(), std::logic_error);
}

// A page fills and focuses its controls before it slides in, and the first
// page before the window is shown: the focus waits until they all show.
TEST_F(UiStdCtrls, FocusOfAHiddenControlWaitsUntilItShows) {
  TPanel* page = Make<TPanel>();
  page->Hide();
  TComboBox* box = form->Create<TComboBox>();
  box->SetParent(page);
  TEdit* edit = Make<TEdit>();
  box->SetFocus();
  EXPECT_FALSE(box->Focused());
  form->Show();
  EXPECT_FALSE(box->Focused());
  page->Show();
  EXPECT_TRUE(box->Focused());
  EXPECT_EQ(form->ActiveControl, box);

  // A later wish replaces a waiting one, and a waiting focus whose control
  // went is forgotten.
  page->Hide();
  box->SetFocus();
  edit->SetFocus();
  page->Show();
  EXPECT_TRUE(edit->Focused());
  auto gone = std::make_unique<TEdit>(nullptr);
  gone->SetParent(page);
  page->Hide();
  gone->SetFocus();
  gone.reset();
  page->Show();
  EXPECT_TRUE(edit->Focused());
}

TEST_F(UiStdCtrls, ButtonAcceleratorClicksOnlyWhenItCanFocus) {
  TButton* button = Make<TButton>();
  button->SetCaption("Copy to clipboard");
  TButton* next = Make<TButton>();
  next->SetCaption("&Next");
  int clicks = 0;
  next->OnClick = [&](TObject*) { ++clicks; };
  EXPECT_FALSE(form->DialogChar('n'));  // the form is hidden
  form->Show();
  EXPECT_TRUE(form->DialogChar('n'));
  EXPECT_FALSE(form->DialogChar('c'));
  EXPECT_EQ(clicks, 1);
}

TEST_F(UiStdCtrls, ComboBoxPicksAndRefusesBadIndexes) {
  TComboBox* box = Make<TComboBox>();
  box->SetItems({"one", "two"});
  int changes = 0;
  box->OnChange = [&](TObject*) { ++changes; };
  box->SetItemIndex(1);
  EXPECT_EQ(box->Text(), "two");
  EXPECT_EQ(changes, 0);
  box->SelectByUser(0);
  EXPECT_EQ(box->Text(), "one");
  EXPECT_EQ(changes, 1);
  EXPECT_THROW(box->SetItemIndex(2), std::out_of_range);
  EXPECT_THROW(box->SetItemIndex(-2), std::out_of_range);
}

TEST_F(UiStdCtrls, ProgressBarClampsItsPosition) {
  TProgressBar* bar = Make<TProgressBar>();
  struct Step {
    int min, max, set, expected;
  } steps[] = {{0, 100, 50, 50}, {0, 100, 150, 100}, {0, 100, -5, 0}, {10, 20, 15, 15}, {0, 0, 7, 0}};
  for (const Step& s : steps) {
    bar->SetRange(s.min, s.max);
    bar->SetPosition(s.set);
    EXPECT_EQ(bar->Position(), s.expected);
  }
  bar->SetRange(0, 100);
  bar->SetPosition(80);
  bar->SetMax(40);
  EXPECT_EQ(bar->Position(), 40);
  EXPECT_THROW(bar->SetRange(5, 4), std::invalid_argument);
  EXPECT_EQ(bar->Max(), 40);
}

TEST_F(UiStdCtrls, PageControlShowsOneSheetAndFindsByName) {
  TPageControl* pages = Make<TPageControl>();
  pages->SetBounds(0, 50, 770, 377);
  TTabSheet* welcome = form->Create<TTabSheet>();
  welcome->Name = "PnlWelcome";
  welcome->SetPageControl(pages);
  TTabSheet* error = form->Create<TTabSheet>();
  error->Name = "PnlError";
  error->SetPageControl(pages);
  EXPECT_EQ(welcome->BoundsRect(), (TRect{0, 0, 770, 377}));
  EXPECT_EQ(pages->FindPage("pnlerror"), error);
  EXPECT_EQ(pages->FindPage("PnlNone"), nullptr);
  pages->SetActivePage(error);
  EXPECT_TRUE(error->Visible());
  EXPECT_FALSE(welcome->Visible());
  pages->SetActivePage(welcome);
  EXPECT_FALSE(error->Visible());
  TPageControl* other = Make<TPageControl>();
  TTabSheet* stray = form->Create<TTabSheet>();
  stray->SetPageControl(other);
  EXPECT_THROW(pages->SetActivePage(stray), std::invalid_argument);
  pages->SetBounds(0, 50, 600, 300);
  EXPECT_EQ(error->Width(), 600);
}

TEST_F(UiStdCtrls, PanelSlidesByItsLeft) {
  TPanel* panel = Make<TPanel>();
  panel->SetBounds(0, 0, 770, 377);
  TEdit* inner = panel->Create<TEdit>();
  inner->SetParent(panel);
  inner->SetBounds(286, 7, 393, 21);
  panel->SetLeft(-770);
  EXPECT_EQ(inner->ClientToScreen({0, 0}), (TPoint{286 - 770, 7}));
}

TEST_F(UiStdCtrls, MessageBoxUsesTheTitleAndTheAnswer) {
  Application().Title = "Install_Fotelix";
  Headless().MessageBoxResponder = [](const TMessageBoxCall& call) { return call.Flags & mbYesNo ? idNo : idOk; };
  ShowMessage("Invalid folder.\rThe foldername you choose contains invalid characters or is a root folder.");
  EXPECT_EQ(Application().MessageBox("Retry?", mbYesNo), idNo);
  ASSERT_EQ(Headless().MessageBoxes.size(), 2u);
  EXPECT_EQ(Headless().MessageBoxes[0].Caption, "Install_Fotelix");
  EXPECT_EQ(Headless().MessageBoxes[0].Flags, unsigned{mbOk});
  Headless().MessageBoxResponder = nullptr;
}

TEST_F(UiStdCtrls, ClipboardAndOpacity) {
  Clipboard::SetAsText("disk full\r");
  EXPECT_EQ(Clipboard::AsText(), "disk full\r");
  int shown = 0;
  form->OnShow = [&](TObject*) {
    ++shown;
    form->SetAlphaBlend(true);
    form->SetAlphaBlendValue(0);
  };
  form->Show();
  EXPECT_EQ(shown, 1);
  EXPECT_TRUE(form->AlphaBlend());
  EXPECT_EQ(form->AlphaBlendValue(), 0);
}

TEST_F(UiStdCtrls, CentredFormsMoveToTheMiddleWhenShown) {
  Headless().SetScreenSize({1024, 768});
  form->SetBounds(0, 0, 780, 509);
  form->Position = TPosition::poScreenCenter;
  form->Show();
  EXPECT_EQ(form->BoundsRect(), (TRect{122, 129, 902, 638}));
}

TEST_F(UiStdCtrls, ClosingTheMainFormEndsTheLoop) {
  Application().MainForm = form.get();
  form->Show();
  TTimer* timer = form->Create<TTimer>();
  timer->SetInterval(150);
  timer->SetOnTimer([&](TObject*) { form->Close(); });
  Application().Run();
  EXPECT_TRUE(Application().Terminated());
  EXPECT_FALSE(form->Visible());
  form.reset();
  EXPECT_EQ(Application().MainForm, nullptr);
}

}  // namespace
