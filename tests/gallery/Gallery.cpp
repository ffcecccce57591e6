// A window that shows the control library at work on Windows, for a
// screenshot: the standard controls, a JPEG picture with transparent words
// drifting over it, and the button bar area that the widget library fills.
//
// Usage: fx_gallery [picture.jpg] [--close-after MILLISECONDS]
// Without a picture file it shows the welcome page's picture.

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "GalleryHook.h"
#include "resources/Resources.h"
#include "ui/Application.h"
#include "ui/Dialogs.h"
#include "ui/ExtCtrls.h"
#include "ui/FileCtrl.h"
#include "ui/Forms.h"
#include "ui/Jpeg.h"
#include "ui/StdCtrls.h"
#include "ui/win32/Win32Backend.h"
#include "platform/win32/Win32Platform.h"

namespace {

class TGalleryForm : public TForm {
 public:
  explicit TGalleryForm(const std::string& picturePath) : TForm(nullptr) {
    SetCaption("Fotelix control gallery");
    SetBounds(20, 20, 760, 520);
    SetColor(clCream);

    picture_ = Place<TImage>(this, 8, 8, 300, 330);
    picture_->SetStretch(true);
    picture_->SetPicture(picturePath.empty() ? LoadJpeg(GetEmbeddedResource(ResourceName::Welcome).Bytes()) : LoadJpegFile(picturePath));
    struct Word {
      const char* text;
      TColor color;
      int left, top, dx, dy;
    };
    for (const Word& w : {Word{"Download", clRed, 32, 16, 3, 2}, Word{"Search", clRed, 64, 88, -2, 3},
                          Word{"Filter", RGB(255, 255, 0), 88, 192, 4, -1}, Word{"Safe", clWhite, 200, 150, -3, -2},
                          Word{"Fast", RGB(128, 0, 0), 150, 280, 2, -3}}) {
      TLabel* label = Place<TLabel>(this, w.left, w.top, 0, 0);
      TFont font = Font();
      font.Height = 21;
      font.Style = fsBold;
      font.Color = w.color;
      label->SetFont(font);
      label->SetTransparent(true);
      label->SetCaption(w.text);
      words_.push_back({label, w.dx, w.dy});
    }

    TLabel* title = Place<TLabel>(this, 330, 8, 0, 0);
    TFont bold = Font();
    bold.Style = fsBold;
    title->SetFont(bold);
    title->SetCaption("Thank you for trying the &gallery");

    TStaticText* text = Place<TStaticText>(this, 330, 30, 410, 44);
    text->SetCaption("Static text keeps its size and breaks long lines at word boundaries, "
                     "and a carriage return\rstarts a new line.");

    edit_ = Place<TEdit>(this, 330, 80, 200, 21);
    edit_->SetText("C:\\Program Files\\Fotelix\\");
    TCheckBox* check = Place<TCheckBox>(this, 540, 82, 200, 17);
    check->SetCaption("Create a &desktop shortcut");
    check->SetChecked(true);

    TRadioGroup* group = Place<TRadioGroup>(this, 330, 110, 200, 110);
    group->SetCaption("Internet-connection");
    group->SetItems({"Dial-up &Modem < 56KBS", "&ISDN", "&Cable", "I &don't know"});
    group->SetItemIndex(3);

    TComboBox* combo = Place<TComboBox>(this, 540, 110, 200, 21);
    combo->SetItems({"Baseline JPEG", "Progressive JPEG"});
    combo->SetItemIndex(1);

    TButton* copy = Place<TButton>(this, 540, 140, 200, 23);
    copy->SetCaption("Copy to clip&board");
    copy->OnClick = [this](TObject*) { Clipboard::SetAsText(edit_->Text()); };

    progress_ = Place<TProgressBar>(this, 540, 172, 200, 16);
    TLabel* percent = Place<TLabel>(this, 540, 194, 0, 0);
    percent->SetCaption("0% complete");
    percent_ = percent;

    TDirectoryListBox* folders = Place<TDirectoryListBox>(this, 330, 228, 200, 110, platform_);
    TDriveComboBox* drives = Place<TDriveComboBox>(this, 540, 228, 200, 21, platform_);
    drives->SetDirList(folders);
    folders->SetDirectory("C:\\");

    TPanel* header = Place<TPanel>(this, 540, 258, 200, 80);
    header->SetColor(RGB(0, 48, 96));
    TFont white = Font();
    white.Color = clWhite;
    white.Style = fsBold;
    header->SetFont(white);
    header->SetCaption("Panel with a caption");

    TPanel* bar = Place<TPanel>(this, 8, 350, 744, 160);
    bar->SetBevelOuter(TBevelCut::bvLowered);
    AddGalleryButtons(*this, *bar);

    timer_ = Create<TTimer>();
    timer_->SetInterval(50);
    timer_->SetOnTimer([this](TObject*) { Tick(); });
  }

 private:
  struct TMovingWord {
    TLabel* Label;
    int Dx;
    int Dy;
  };

  template <class T, class... Args>
  T* Place(TWinControl* parent, int left, int top, int width, int height, Args&... args) {
    T* control = Create<T>(args...);
    control->SetParent(parent);
    control->SetBounds(left, top, width > 0 ? width : control->Width(), height > 0 ? height : control->Height());
    return control;
  }

  void Tick() {
    for (TMovingWord& w : words_) {
      int left = w.Label->Left() + w.Dx;
      int top = w.Label->Top() + w.Dy;
      if (left < picture_->Left() || left + w.Label->Width() > picture_->Left() + picture_->Width()) w.Dx = -w.Dx;
      if (top < picture_->Top() || top + w.Label->Height() > picture_->Top() + picture_->Height()) w.Dy = -w.Dy;
      w.Label->SetBounds(w.Label->Left() + w.Dx, w.Label->Top() + w.Dy, w.Label->Width(), w.Label->Height());
    }
    progress_->SetPosition(progress_->Position() + 1);
    percent_->SetCaption(std::to_string(progress_->Position()) + "% complete");
  }

  TImage* picture_ = nullptr;
  TEdit* edit_ = nullptr;
  TProgressBar* progress_ = nullptr;
  TLabel* percent_ = nullptr;
  TTimer* timer_ = nullptr;
  std::vector<TMovingWord> words_;
  TWin32Platform platform_;
};

}  // namespace

int main(int argc, char** argv) {
  std::string picture;
  unsigned closeAfter = 0;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--close-after") == 0 && i + 1 < argc)
      closeAfter = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
    else
      picture = argv[i];
  }
  try {
    Application().SetBackend(std::make_unique<TWin32Backend>());
    Application().Title = "Fotelix control gallery";
    TGalleryForm form(picture);
    Application().MainForm = &form;
    TTimer closer(nullptr);
    if (closeAfter > 0) {
      closer.SetInterval(closeAfter);
      closer.SetOnTimer([&](TObject*) { form.Close(); });
    }
    form.Show();
    Application().Run();
    Application().MainForm = nullptr;
    return 0;
  } catch (const std::exception& e) {
    ShowMessage(e.what());
    return 1;
  }
}
