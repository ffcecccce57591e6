#include "GalleryHook.h"

#include <string>
#include <vector>

#include "ui/Dialogs.h"
#include "widgets/LbSpeedButton.h"
#include "widgets/MVI_ButtonBar.h"

// The button area of the gallery: the wizard's bar in the main window's
// colours, then one button of every style, one of every colour preset, and
// the states a button can show: hot, pressed, disabled, with a menu, with a
// glyph strip, transparent.

namespace {

// Four 16 x 16 cells: normal, disabled, pressed, hot. White around the dot is
// left out when drawn.
TBitmap MakeGlyphStrip() {
  const TColor dots[] = {RGB(0, 90, 200), RGB(150, 150, 150), RGB(200, 40, 40), RGB(0, 160, 60)};
  TBitmap strip(64, 16, clWhite);
  for (int cell = 0; cell < 4; ++cell)
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) {
        const int dx = x - 8, dy = y - 8;
        if (dx * dx + dy * dy <= 30) strip.SetPixel(cell * 16 + x, y, dots[cell]);
      }
  return strip;
}

TLbSpeedButton* Place(TPanel& area, int left, int top, int width, const std::string& caption) {
  TLbSpeedButton* b = TLbSpeedButton::CreateAt(&area, left, width, top, clWhite, clGray);
  b->SetCaption(caption);
  return b;
}

}  // namespace

void AddGalleryButtons(TForm& form, TPanel& area) {
  std::vector<TLbSpeedButton*> hot;

  auto* bar = area.Create<tMvButtonBar>();
  bar->SetParent(&area);
  bar->SetBounds(4, 2, 713, bar->Height());
  bar->SetColors(clWhite, clLime, clNavy, clBlue, clCream);
  bar->AddLeftButton("&Exit", 1, 1, nullptr);
  bar->AddRightButton("&Next", 2, 1, nullptr);
  bar->AddRightButton("&Previous", 3, 1, nullptr);
  bar->AddRightButton("&Install Now", 2, 2, nullptr);
  bar->RightButton(2)->SetGroupIndex(9);
  bar->RightButton(2)->SetDown(true);
  bar->RightButton(1)->SetHotTrackColor(RGB(0, 0, 200));
  hot.push_back(bar->RightButton(1));

  const struct {
    TLbSpeedButtonStyle style;
    const char* name;
  } styles[] = {{bsNormal, "Normal"}, {bsEncarta, "Encarta"}, {bsModern, "Modern"},
                {bsOld, "Old"},       {bsShape, "Shape"},     {bsQuicken, "Quicken"}};
  int x = 4;
  for (const auto& s : styles) {
    TLbSpeedButton* b = Place(area, x, 38, 100, s.name);
    b->SetColor(clSilver);
    b->SetStyle(s.style);
    x += 106;
  }

  const struct {
    TLbColorStyle preset;
    const char* name;
  } presets[] = {{lcsGold, "Gold"},       {lcsChrome, "Chrome"}, {lcsBlue, "Blue"},
                 {lcsRed, "Red"},         {lcsUltraFlat1, "Flat1"}, {lcsUltraFlat2, "Flat2"},
                 {lcsUltraFlatXP, "FlatXP"}, {lcsAqua, "Aqua"},   {lcsDefault, "Default"},
                 {lcsQuicken, "Quicken"}};
  x = 4;
  for (const auto& p : presets) {
    TLbSpeedButton* b = Place(area, x, 64, 68, p.name);
    b->SetColorStyle(p.preset);
    if (p.preset == lcsGold || p.preset == lcsUltraFlat2 || p.preset == lcsQuicken) hot.push_back(b);
    x += 73;
  }

  static const TBitmap glyph = MakeGlyphStrip();
  const struct {
    const char* name;
    TLbSpeedButtonStyle style;
    bool hot, pressed, disabled, menu, withGlyph;
  } states[] = {
      {"Modern hot", bsModern, true, false, false, false, false},
      {"Modern down", bsModern, false, true, false, false, false},
      {"Encarta hot", bsEncarta, true, false, false, false, false},
      {"Encarta down", bsEncarta, false, true, false, false, false},
      {"Old down", bsOld, false, true, false, false, false},
      {"Disabled", bsModern, false, false, true, false, true},
      {"Menu", bsModern, false, false, false, true, false},
  };
  TPopupMenu* menu = form.Create<TPopupMenu>();
  menu->Add("&Open", [](TObject*) { ShowMessage("The menu's first item was chosen."); });
  menu->Add("-");
  menu->Add("&Close");
  x = 4;
  int group = 1;
  for (const auto& s : states) {
    TLbSpeedButton* b = Place(area, x, 90, 100, s.name);
    b->SetColor(clSilver);
    b->SetStyle(s.style);
    b->SetHotTrackColor(RGB(255, 230, 150));
    b->SetColorWhenDown(RGB(180, 200, 255));
    if (s.withGlyph) b->SetGlyph(&glyph);
    if (s.menu) b->SetPopupMenu(menu);
    if (s.disabled) b->SetEnabled(false);
    if (s.pressed) {
      b->SetGroupIndex(group++);
      b->SetDown(true);
    }
    if (s.hot) hot.push_back(b);
    x += 106;
  }

  const struct {
    const char* name;
    TLbSpeedButtonLayout layout;
    bool hot, pressed;
  } glyphs[] = {
      {"Glyph left", blGlyphLeft, false, false},
      {"Glyph right", blGlyphRight, true, false},
      {"Top", blGlyphTop, false, true},
      {"Bottom", blGlyphBottom, false, false},
  };
  x = 4;
  for (const auto& g : glyphs) {
    TLbSpeedButton* b = Place(area, x, 116, 130, g.name);
    b->SetHeight(g.layout == blGlyphTop || g.layout == blGlyphBottom ? 40 : 23);
    b->SetColor(clSilver);
    b->SetStyle(bsModern);
    b->SetGlyph(&glyph);
    b->SetLayout(g.layout);
    if (g.pressed) {
      b->SetGroupIndex(group++);
      b->SetDown(true);
    }
    if (g.hot) hot.push_back(b);
    x += 136;
  }
  TLbSpeedButton* clear = Place(area, x, 116, 100, "Transparent");
  clear->SetStyle(bsModern);
  clear->SetTransparent(true);

  // The pointer is not over any of them on the screenshot, so the hot ones
  // are entered once the window shows.
  TNotifyEvent shown = form.OnShow;
  form.OnShow = [shown, hot](TObject* sender) {
    if (shown) shown(sender);
    for (TLbSpeedButton* b : hot) b->MouseEnter();
  };
}
