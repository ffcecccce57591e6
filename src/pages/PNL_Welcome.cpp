#include "pages/PNL_Welcome.h"

#include "lib/LIB_Random.h"
#include "pages/PNL_Layout.h"
#include "pages/PageNames.h"
#include "resources/Resources.h"

using namespace PageLayout;

namespace {

struct TWordLayout {
  const char* Caption;
  TColor Color;
  int Left;
  int Top;
};

constexpr TColor kYellow = 0x00FFFF;
constexpr TColor kMaroon = 0x000080;

constexpr TWordLayout kWords[TPnlWelcome::WordCount] = {
    {"Download", clRed, 32, 16},  {"Search", clRed, 64, 88},   {"Pictures", clRed, 136, 304},
    {"Filter", kYellow, 88, 192}, {"Easy", kMaroon, 248, 112}, {"Safe", clWhite, 232, 200},
    {".JPG", kYellow, 256, 328},  {"Fast", kMaroon, 264, 24},
};

uint8_t DrawStep() { return static_cast<uint8_t>(Random(5) + 1); }

}  // namespace

TPnlWelcome::TPnlWelcome(TComponent* owner, TPageHost& host) : TFramePanel(owner, host) {
  Name = PageName::PnlWelcome;
  Image1 = Picture(*this, *this, "Image1", 0, 0, ResourceName::Welcome);
  Label1 = Label(*this, *this, "Label1", 392, 8, "Thank you for installing Fotelix", fsBold);
  StaticText1 = StaticText(
      *this, *this, "StaticText1", 396, 38, 293, 59,
      "Fotelix can be used for searching and downloading pictures on the internet (the worldwide "
      "web). Pictures are searched using search-engines and downloaded from websites. Fotelix "
      "presents the pictures in easy to use galleries. ");
  StaticText2 = StaticText(
      *this, *this, "StaticText2", 397, 102, 293, 59,
      "No need for you anymore to visit all kind of sites and see if you can download the "
      "pictures you want or not. Fotelix does all the work for you and presents you just that "
      "what you want to see: The pictures. ");
  StaticText3 = StaticText(
      *this, *this, "StaticText3", 398, 165, 293, 68,
      "Fotelix works as an automated webbrowser. All images come from the publicly accesible "
      "world wide web. Nevertheless many are copyright protected. You are allowed to view the "
      "images but not always to use them for other purposes. ");
  StaticText6 = StaticText(
      *this, *this, "StaticText6", 397, 243, 294, 49,
      "With this installation you install Fotelix and nothing else. We are not putting any crap "
      "on your PC, change no settings, put no DLL's, show no banners and install no spyware.");
  SetFontColor(*StaticText6, clWhite);
  Label2 = Label(*this, *this, "Label2", 394, 313,
                 "We wish you a lot of pleasure evaluating and using  Fotelix.");
  Label3 = Label(*this, *this, "Label3", 608, 337, "Morvane Software");

  for (int i = 1; i <= WordCount; ++i) {
    const TWordLayout& word = kWords[i - 1];
    TLabel* label = Label(*this, *this, "lblMove" + std::to_string(i), word.Left, word.Top,
                          word.Caption);
    TFont font = label->Font();
    font.Style = fsBold;
    font.Height = 21;
    font.Color = word.Color;
    label->SetFont(font);
    // The drifting words only adorn the picture; the texts say the same.
    label->AccessibleHidden = true;
    lblMove[i] = label;
  }

  Timer1 = Create<TTimer>();
  Timer1->Name = "Timer1";
  Timer1->SetEnabled(false);
  Timer1->SetInterval(50);
  Timer1->SetOnTimer([this](TObject* sender) { Timer1Timer(sender); });

  HeaderText = "Welcome";
  for (int i = 1; i <= WordCount; ++i) {
    MoveUp[i] = Random(2) == 1;
    MoveLeft[i] = Random(2) == 1;
    StepY[i] = DrawStep();
    StepX[i] = DrawStep();
  }
  Timer1->SetEnabled(true);
}

void TPnlWelcome::SetupButtons(tMvButtonBar& bar) {
  AddExitButton(bar);
  bar.AddRightButton("&Next", 2, 1, [this](TObject* sender) { NextClick(sender); });
}

void TPnlWelcome::NextClick(TObject*) {
  Timer1->SetEnabled(false);
  Host().ShowPage(PageName::PnlDisclaimer, true);
}

void TPnlWelcome::Timer1Timer(TObject*) {
  for (int i = 1; i <= WordCount; ++i) MoveLabel(i, *lblMove[i]);
}

void TPnlWelcome::MoveLabel(int i, TLabel& label) {
  int top = MoveUp[i] ? label.Top() - StepY[i] : label.Top() + StepY[i];
  int left = MoveLeft[i] ? label.Left() - StepX[i] : label.Left() + StepX[i];

  // Horizontally the words stay on the picture, vertically on the page.
  if (left < 0) {
    left = 0;
    MoveLeft[i] = false;
    MoveUp[i] = Random(2) == 0;
    StepY[i] = DrawStep();
    StepX[i] = DrawStep();
  }
  if (left + label.Width() > Image1->Width()) {
    left = Image1->Width() - label.Width();
    MoveLeft[i] = true;
    MoveUp[i] = Random(2) == 0;
    StepY[i] = DrawStep();
    StepX[i] = DrawStep();
  }
  if (top < 0) {
    top = 0;
    MoveUp[i] = false;
    MoveLeft[i] = Random(2) == 0;
    StepY[i] = DrawStep();
    StepX[i] = DrawStep();
  }
  if (top + label.Height() > Height()) {
    top = Height() - label.Height();
    MoveUp[i] = true;
    MoveLeft[i] = Random(2) == 0;
    StepY[i] = DrawStep();
    StepX[i] = DrawStep();
  }
  if (StepY[i] + StepX[i] < 3) {
    ++StepY[i];
    ++StepX[i];
  }
  label.SetBounds(left, top, label.Width(), label.Height());
}
