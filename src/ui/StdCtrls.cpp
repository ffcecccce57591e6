#include "ui/StdCtrls.h"

#include <stdexcept>

#include "ui/Application.h"

// ------------------------------------------------------------------ TLabel

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
  ControlStyle |= csOpaque;
  SetParentColor(true);
  SetBounds(0, 0, 65, 17);
}

unsigned TLabel::Format() const {
  unsigned format = 0;
  if (alignment_ == TAlignment::taCenter) format |= dtCenter;
  if (alignment_ == TAlignment::taRightJustify) format |= dtRight;
  if (wordWrap_) format |= dtWordBreak;
  if (!showAccelChar_) format |= dtNoPrefix;
  return format;
}

void TLabel::AdjustBounds() {
  if (!autoSize_ || adjusting_) return;
  adjusting_ = true;
  std::unique_ptr<TCanvas> canvas = Application().Backend().CreateMeasureCanvas();
  canvas->Font = Font();
  TRect rect{0, 0, wordWrap_ ? Width() : 0, 0};
  // An empty caption still takes the height of a line.
  const std::string text = Caption().empty() ? std::string(" ") : Caption();
  canvas->DrawText(text, rect, Format() | dtCalcRect);
  SetBounds(Left(), Top(), wordWrap_ ? Width() : rect.Width(), rect.Height());
  adjusting_ = false;
}

void TLabel::Changed(TPeerChange what) {
  TGraphicControl::Changed(what);
  if (what == TPeerChange::Text || what == TPeerChange::Font) AdjustBounds();
}

void TLabel::SetAutoSize(bool value) {
  autoSize_ = value;
  AdjustBounds();
}

void TLabel::SetTransparent(bool value) {
  if (value == transparent_) return;
  transparent_ = value;
  if (value) ControlStyle &= ~csOpaque;
  else ControlStyle |= csOpaque;
  Invalidate();
}

void TLabel::SetWordWrap(bool value) {
  if (value == wordWrap_) return;
  wordWrap_ = value;
  AdjustBounds();
  Invalidate();
}

void TLabel::SetAlignment(TAlignment value) {
  alignment_ = value;
  Invalidate();
}

void TLabel::SetLayout(TTextLayout value) {
  layout_ = value;
  Invalidate();
}

void TLabel::SetShowAccelChar(bool value) {
  showAccelChar_ = value;
  AdjustBounds();
  Invalidate();
}

void TLabel::Paint(TCanvas& canvas) {
  if (!transparent_) {
    canvas.Brush.Color = Color();
    canvas.Brush.Style = TBrushStyle::Solid;
    canvas.FillRect(ClientRect());
  }
  canvas.Brush.Style = TBrushStyle::Clear;
  canvas.Font = Font();
  if (!Enabled()) canvas.Font.Color = clGrayText;
  TRect rect = ClientRect();
  if (layout_ != TTextLayout::tlTop) {
    TRect measured = rect;
    canvas.DrawText(Caption(), measured, Format() | dtCalcRect);
    const int spare = rect.Height() - measured.Height();
    rect.Top += layout_ == TTextLayout::tlCenter ? spare / 2 : spare;
  }
  canvas.DrawText(Caption(), rect, Format());
}

void TLabel::DescribeAccessible(TAccessibleInfo& info) const {
  if (!showAccelChar_ && !LabelledBy()) info.Name = Caption();
  info.Role = OnClick ? TAccessibleRole::Link : TAccessibleRole::StaticText;
  if (OnClick) info.DefaultAction = "Jump";
}

// ------------------------------------------------------------- TStaticText

TStaticText::TStaticText(TComponent* owner) : TWinControl(owner, TControlKind::StaticText) {
  SetParentColor(true);
  SetBounds(0, 0, 65, 17);
}

void TStaticText::DescribeAccessible(TAccessibleInfo& info) const {
  info.Role = TAccessibleRole::StaticText;
}

// ------------------------------------------------------------------- TEdit

TEdit::TEdit(TComponent* owner) : TWinControl(owner, TControlKind::Edit) {
  SetColor(clWindow);
  SetBounds(0, 0, 121, 21);
}

void TEdit::DescribeAccessible(TAccessibleInfo& info) const {
  if (!LabelledBy()) info.Name.clear();
  info.Role = TAccessibleRole::Text;
  info.Value = Text();
  info.Focusable = true;
}

void TEdit::Changed(TPeerChange what) {
  TWinControl::Changed(what);
  if (what == TPeerChange::Text) Fire(OnChange);
}

// ----------------------------------------------------------------- TButton

TButton::TButton(TComponent* owner) : TWinControl(owner, TControlKind::Button) { SetBounds(0, 0, 75, 25); }

bool TButton::DialogChar(char key) {
  if (!IsAccel(key, Caption()) || !CanFocus()) return false;
  DoDefaultAction();
  return true;
}

void TButton::DescribeAccessible(TAccessibleInfo& info) const {
  info.Role = TAccessibleRole::PushButton;
  info.AccessKey = AccessKeyOf(Caption());
  info.DefaultAction = "Press";
  info.Focusable = true;
}

// --------------------------------------------------------------- TCheckBox

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner, TControlKind::CheckBox) {
  SetParentColor(true);
  SetBounds(0, 0, 97, 17);
}

void TCheckBox::SetChecked(bool value) {
  if (value == checked_) return;
  checked_ = value;
  TWinControl::Changed(TPeerChange::State);
  Click();
}

bool TCheckBox::DialogChar(char key) {
  if (!IsAccel(key, Caption()) || !CanFocus()) return false;
  DoDefaultAction();
  return true;
}

void TCheckBox::DoDefaultAction() {
  SetFocus();
  Toggle();
}

void TCheckBox::DescribeAccessible(TAccessibleInfo& info) const {
  info.Role = TAccessibleRole::CheckButton;
  info.AccessKey = AccessKeyOf(Caption());
  info.DefaultAction = checked_ ? "Uncheck" : "Check";
  info.Focusable = true;
  info.Checked = checked_;
}

// ------------------------------------------------------------ TRadioButton

TRadioButton::TRadioButton(TComponent* owner) : TWinControl(owner, TControlKind::RadioButton) {
  SetParentColor(true);
  SetBounds(0, 0, 113, 17);
}

void TRadioButton::SetChecked(bool value) {
  if (value == checked_) return;
  checked_ = value;
  TWinControl::Changed(TPeerChange::State);
  if (!value) return;
  if (Parent())
    for (TControl* sibling : Parent()->Controls())
      if (auto* radio = dynamic_cast<TRadioButton*>(sibling); radio && radio != this) radio->SetChecked(false);
  Click();
}

bool TRadioButton::DialogChar(char key) {
  if (!IsAccel(key, Caption()) || !CanFocus()) return false;
  DoDefaultAction();
  return true;
}

void TRadioButton::DoDefaultAction() {
  SetFocus();
  SetChecked(true);
}

void TRadioButton::DescribeAccessible(TAccessibleInfo& info) const {
  info.Role = TAccessibleRole::RadioButton;
  info.AccessKey = AccessKeyOf(Caption());
  info.DefaultAction = "Check";
  info.Focusable = true;
  info.Checked = checked_;
}

// --------------------------------------------------------------- TComboBox

TComboBox::TComboBox(TComponent* owner) : TWinControl(owner, TControlKind::ComboBox) {
  SetColor(clWindow);
  SetBounds(0, 0, 145, 21);
}

void TComboBox::SetItems(std::vector<std::string> items) {
  items_ = std::move(items);
  itemIndex_ = -1;
  TWinControl::Changed(TPeerChange::State);
}

void TComboBox::SetItemIndex(int index) {
  if (index < -1 || index >= static_cast<int>(items_.size()))
    throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
  if (index == itemIndex_) return;
  itemIndex_ = index;
  TWinControl::Changed(TPeerChange::State);
}

std::string TComboBox::Text() const { return itemIndex_ < 0 ? std::string() : items_[itemIndex_]; }

void TComboBox::DescribeAccessible(TAccessibleInfo& info) const {
  info.Role = TAccessibleRole::ComboBox;
  info.Value = Text();
  info.Focusable = true;
}

void TComboBox::SelectByUser(int index) {
  SetItemIndex(index);
  Fire(OnChange);
}
