#include "widgets/MVI_ButtonBar.h"

namespace {
TMvButtonColors g_colors;
}

const TMvButtonColors& tMvButtonBar::SharedColors() { return g_colors; }

void tMvButtonBar::SetSharedColors(const TMvButtonColors& colors) { g_colors = colors; }

int tMvButtonBar::ButtonWidth(uint8_t widthKind) {
  switch (widthKind) {
    case 0: return 30;
    case 1: return 90;
    case 2: return 120;
    case 3: return 200;
    default: return 99;
  }
}

tMvButtonBar::tMvButtonBar(TComponent* owner) : TPanel(owner) {
  SetBevelOuter(TBevelCut::bvNone);
  SetHeight(32);
  for (int i = 0; i < StockSize; ++i) {
    left_[i] = TLbSpeedButton::CreateAt(this, 0, 10, 10, clWhite, clWhite);
    left_[i]->Hide();
    right_[i] = TLbSpeedButton::CreateAt(this, 0, 10, 10, clWhite, clWhite);
    right_[i]->Hide();
  }
}

void tMvButtonBar::Clear() {
  for (int i = 0; i < StockSize; ++i) {
    left_[i]->Hide();
    right_[i]->Hide();
  }
  leftCount_ = 0;
  rightCount_ = 0;
}

void tMvButtonBar::Recolor(TLbSpeedButton* button, const TMvButtonColors& colors) {
  button->SetLightColor(colors.LightColor);
  button->SetShadowColor(colors.ShadowColor);
  button->SetColor(colors.FaceColor);
  TFont font = button->Font();
  font.Color = colors.FontColor;
  button->SetFont(font);
}

void tMvButtonBar::ShowButton(TLbSpeedButton* button, int left, int width,
                              const std::string& caption, int tag, TNotifyEvent onClick) {
  button->SetBounds(left, (Height() - ButtonHeight) / 2, width, ButtonHeight);
  button->OnClick = [this, onClick = std::move(onClick)](TObject* sender) {
    if (onClick && (!MayRunHandlers || MayRunHandlers())) onClick(sender);
  };
  button->Tag = tag;
  Recolor(button, g_colors);
  TFont font = button->Font();
  font.Style |= fsBold;
  button->SetFont(font);
  button->SetStyle(bsModern);
  button->SetCaption(caption);
  button->Show();
}

void tMvButtonBar::AddLeftButton(const std::string& caption, int tag, uint8_t widthKind,
                                 TNotifyEvent onClick) {
  if (leftCount_ == StockSize) return;
  int x = 5;
  for (int i = 0; i < leftCount_; ++i) x += left_[i]->Width() + 5;
  ShowButton(left_[leftCount_++], x, ButtonWidth(widthKind), caption, tag, std::move(onClick));
}

void tMvButtonBar::AddRightButton(const std::string& caption, int tag, uint8_t widthKind,
                                  TNotifyEvent onClick) {
  if (rightCount_ == StockSize) return;
  const int width = ButtonWidth(widthKind);
  int x = Width() - width - 5;
  for (int i = 0; i < rightCount_; ++i) x -= right_[i]->Width() + 5;
  ShowButton(right_[rightCount_++], x, width, caption, tag, std::move(onClick));
}

void tMvButtonBar::SetColors(TColor fontColor, TColor shadowColor, TColor faceColor,
                             TColor lightColor, TColor barColor) {
  SetColor(barColor);
  const TMvButtonColors colors{fontColor, faceColor, lightColor, shadowColor};
  for (int i = 0; i < leftCount_; ++i) Recolor(left_[i], colors);
  for (int i = 0; i < rightCount_; ++i) Recolor(right_[i], colors);
  g_colors = colors;
}
