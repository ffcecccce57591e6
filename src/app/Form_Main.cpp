#include "app/Form_Main.h"

#include <algorithm>
#include <stdexcept>

#include "app/Appl_CommandLine.h"
#include "app/Appl_Globals.h"
#include "lib/LIB_Text.h"
#include "pages/PNL_Error.h"
#include "pages/PageNames.h"
#include "resources/Resources.h"
#include "ui/Jpeg.h"

TFormMain* FormMain = nullptr;

namespace {

constexpr TColor kWindowColor = clBlue;
constexpr TColor kHeaderColor = clNavy;
constexpr TColor kHeaderTextColor = clWhite;
constexpr int kPartsLeft = 40;

}  // namespace

// One switch's slide. The parts are placed by their distance from home, not
// moved by steps, so that whichever switch ends last leaves them at home. A
// switch made from a message during a slide (a click on the header, the
// error route, the automatic update's timer) takes the parts over from
// wherever they are: the interrupted switch does nothing more, and the newer
// one's page is in place, with Busy clear, before its RunPage starts. Should
// a switch fail half-way, it puts the parts back and releases Busy, so that
// the error page, shown by the next switch, ends up in view and usable.
class TFormMain::TSlide {
 public:
  TSlide(TFormMain& form, bool animate) : form_(form), animate_(animate), serial_(++form.switches_) {}
  ~TSlide() {
    if (form_.sliding_ != serial_) return;
    form_.PlaceParts(0);
    form_.sliding_ = 0;
  }
  TSlide(const TSlide&) = delete;
  TSlide& operator=(const TSlide&) = delete;

  // Each returns false when a newer switch, made by a message handled
  // during the wait, has taken over: this one has nothing more to do.
  bool Out() {
    if (!animate_) return true;
    form_.sliding_ = serial_;
    for (int i = 0; i < SlideSteps; ++i) {
      form_.PlaceParts(std::min(SlideDistance, form_.partsOffset_ + SlideStepPixels));
      form_.WaitStep();
      if (Overtaken()) return false;
    }
    return true;
  }

  bool In() {
    if (animate_) {
      for (int i = SlideSteps - 1; i >= 0; --i) {
        form_.PlaceParts(i * SlideStepPixels);
        form_.WaitStep();
        if (Overtaken()) return false;
      }
    }
    // Also ends a slide that this switch interrupted.
    form_.PlaceParts(0);
    form_.sliding_ = 0;
    return true;
  }

 private:
  bool Overtaken() const { return form_.switches_ != serial_; }

  TFormMain& form_;
  bool animate_;
  unsigned serial_;
};

TFormMain::TFormMain(TComponent* owner, TPlatform& platform, std::vector<std::string> arguments)
    : TForm(owner), platform_(platform), arguments_(std::move(arguments)) {
  FormMain = this;
  try {
    Build();
  } catch (...) {
    // No destructor runs for a window that failed to be made.
    if (FormMain == this) FormMain = nullptr;
    Application().OnException = nullptr;
    throw;
  }
}

void TFormMain::Build() {
  Name = "FormMain";
  SetBounds(0, 0, ClientWidth, ClientHeight);
  Position = TPosition::poScreenCenter;

  ImgIcon = Create<TImage>();
  ImgIcon->Name = "ImgIcon";
  ImgIcon->SetParent(this);
  ImgIcon->SetBounds(5, 6, 41, 41);
  ImgIcon->SetPicture(LoadJpeg(GetEmbeddedResource(ResourceName::Icon).Bytes()));

  PnlHeader = Create<TPanel>();
  PnlHeader->Name = "PnlHeader";
  PnlHeader->SetParent(this);
  PnlHeader->SetBounds(kPartsLeft, 31, 712, 41);
  PnlHeader->SetBevelOuter(TBevelCut::bvRaised);
  PnlHeader->SetAlignment(TAlignment::taCenter);
  TFont headerFont = PnlHeader->Font();
  headerFont.Height = 19;
  PnlHeader->SetFont(headerFont);
  PnlHeader->SetCaption("Header");
  PnlHeader->OnClick = [this](TObject* sender) { PnlHeaderClick(sender); };

  PageControl = Create<TPageControl>();
  PageControl->Name = "PageControl";
  PageControl->SetParent(this);
  PageControl->SetBounds(kPartsLeft, 72, 712, 377);

  PnlButtons = Create<tMvButtonBar>();
  PnlButtons->Name = "PnlButtons";
  PnlButtons->SetParent(this);
  PnlButtons->SetBounds(kPartsLeft, 451, 713, 32);
  PnlButtons->MayRunHandlers = [this] { return !Busy(); };

  Timer1 = Create<TTimer>();
  Timer1->Name = "Timer1";
  Timer1->SetInterval(150);
  Timer1->SetOnTimer([this](TObject* sender) { Timer1Timer(sender); });

  AlphaBlendTimer = Create<TTimer>();
  AlphaBlendTimer->Name = "AlphaBlendTimer";
  AlphaBlendTimer->SetEnabled(false);
  AlphaBlendTimer->SetInterval(100);
  AlphaBlendTimer->SetOnTimer([this](TObject* sender) { AlphaBlendTimerTimer(sender); });

  OnShow = [this](TObject* sender) { FormShow(sender); };
  FormCreate(this);
}

TFormMain::~TFormMain() {
  Application().OnException = nullptr;
  // Buttons and timers must not call into pages that are going.
  Timer1->SetEnabled(false);
  AlphaBlendTimer->SetEnabled(false);
  PnlButtons->Clear();
  pages_.clear();
  if (FormMain == this) FormMain = nullptr;
}

void TFormMain::FormCreate(TObject*) {
  SetCaption("Install Fotelix 2.12");
  SetColor(kWindowColor);
  PnlHeader->SetColor(kHeaderColor);
  TFont headerFont = PnlHeader->Font();
  headerFont.Color = kHeaderTextColor;
  PnlHeader->SetFont(headerFont);
  PnlButtons->SetColors(clWhite, clLime, clNavy, clBlue, clCream);
  CreatePages(*this);
  ReadCommandLine(arguments_, Setup);
  sliding_ = 0;
  Application().OnException = [this](TObject* sender, const std::exception& error) {
    HandleAppException(sender, error);
  };
  ShowPage(PageName::PnlWelcome, false);
}

void TFormMain::FormShow(TObject*) {
  SetAlphaBlendValue(0);
  SetAlphaBlend(true);
  AlphaBlendTimer->SetEnabled(true);
}

void TFormMain::AlphaBlendTimerTimer(TObject*) {
  if (AlphaBlendValue() > 235) SetAlphaBlendValue(255);
  if (AlphaBlendValue() == 255)
    AlphaBlendTimer->SetEnabled(false);
  else
    SetAlphaBlendValue(static_cast<uint8_t>(AlphaBlendValue() + 8));
}

void TFormMain::Timer1Timer(TObject*) {
  Timer1->SetEnabled(false);
  if (Setup.AutoUpdate) ShowPage(PageName::PNLUpgradeUpgrading, true);
}

void TFormMain::PnlHeaderClick(TObject*) {
  // The terms page leads to a fresh run; opened in the middle of a working
  // run it would let a second run write the same files and settings at once.
  if (RunWorking()) return;
  ShowPage(PageName::PnlDisclaimer, true);
}

void TFormMain::HandleAppException(TObject*, const std::exception& error) {
  ErrorPage->SetMessage(error.what());
  ShowPage(PageName::PnlError, true);
}

TSetupState& TFormMain::State() { return Setup; }

void TFormMain::AddPage(std::unique_ptr<TFramePanel> page) {
  if (!page) throw std::invalid_argument("AddPage needs a page.");
  TTabSheet* sheet = Create<TTabSheet>();
  sheet->SetPageControl(PageControl);
  page->SetParent(sheet);
  page->SetBounds(0, 0, sheet->Width(), sheet->Height());
  sheet->Name = page->Name;
  pages_.push_back(std::move(page));
}

void TFormMain::ShowPage(const std::string& name, bool animate) {
  SetAlphaBlend(false);
  AlphaBlendTimer->SetEnabled(false);

  TTabSheet* sheet = nullptr;
  for (TTabSheet* candidate : PageControl->Pages())
    if (SameText(candidate->Name, name)) sheet = candidate;
  if (!sheet) throw std::logic_error("There is no page " + name + ".");
  auto* page = dynamic_cast<TFramePanel*>(sheet->Controls().empty() ? nullptr : sheet->Controls().front());
  if (!page) throw std::logic_error("The sheet " + sheet->Name + " holds no page.");

  TSlide slide(*this, animate);
  if (!slide.Out()) return;
  PageControl->SetActivePage(sheet);
  PnlHeader->SetCaption(page->HeaderText);
  PnlButtons->Clear();
  page->SetupButtons(*PnlButtons);
  page->EnterPage();
  if (!slide.In()) return;
  // Screen readers follow the focus and say the names of the panes it
  // enters, while they pass over a name that changes out of it: the title
  // is read when the page takes the focus, unless one of its controls took
  // it already.
  if (!page->ContainsFocus()) page->SetFocus();
  page->RunPage();
}

void TFormMain::PlaceParts(int offset) {
  // Header and bar leave to the right, the pages to the left.
  partsOffset_ = offset;
  PnlHeader->SetLeft(kPartsLeft + offset);
  PnlButtons->SetLeft(kPartsLeft + offset);
  PageControl->SetLeft(kPartsLeft - offset);
}

void TFormMain::WaitStep() {
  // Polling keeps the window painting and answering during the slide; the
  // short sleep between polls leaves the processor to others.
  const uint32_t start = Application().TickCount();
  for (;;) {
    Application().ProcessMessages();
    if (Application().TickCount() - start > SlideStepMilliseconds) return;
    Application().Sleep(1);
  }
}
