#include "ui/ExtCtrls.h"

#include <algorithm>
#include <stdexcept>

#include "lib/LIB_Percent.h"
#include "lib/LIB_Text.h"
#include "ui/Application.h"
#include "ui/Jpeg.h"

// ------------------------------------------------------------------ TPanel

TPanel::TPanel(TComponent* owner) : TCustomControl(owner) {
  ControlStyle |= csOpaque;
  SetBounds(0, 0, 185, 41);
}

void TPanel::SetBevelOuter(TBevelCut value) {
  bevelOuter_ = value;
  Invalidate();
}

void TPanel::SetAlignment(TAlignment value) {
  alignment_ = value;
  Invalidate();
}

void TPanel::Paint(TCanvas& canvas) {
  const TRect r = ClientRect();
  canvas.Brush.Color = Color();
  canvas.Brush.Style = TBrushStyle::Solid;
  canvas.FillRect(r);
  if (bevelOuter_ != TBevelCut::bvNone) {
    const bool raised = bevelOuter_ == TBevelCut::bvRaised;
    canvas.Pen.Style = TPenStyle::Solid;
    canvas.Pen.Width = 1;
    canvas.Pen.Color = raised ? clBtnHighlight : clBtnShadow;
    canvas.MoveTo(r.Left, r.Bottom - 1);
    canvas.LineTo(r.Left, r.Top);
    canvas.LineTo(r.Right - 1, r.Top);
    canvas.Pen.Color = raised ? clBtnShadow : clBtnHighlight;
    canvas.LineTo(r.Right - 1, r.Bottom - 1);
    canvas.LineTo(r.Left - 1, r.Bottom - 1);
  }
  if (Caption().empty()) return;
  canvas.Brush.Style = TBrushStyle::Clear;
  canvas.Font = Font();
  TRect text{r.Left + 2, r.Top + 2, r.Right - 2, r.Bottom - 2};
  unsigned format = dtSingleLine | dtVCenter;
  if (alignment_ == TAlignment::taCenter) format |= dtCenter;
  if (alignment_ == TAlignment::taRightJustify) format |= dtRight;
  canvas.DrawText(Caption(), text, format);
}

// ------------------------------------------------------------------ TImage

TImage::TImage(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 105, 105); }

void TImage::SetPicture(TBitmap picture) {
  picture_ = std::move(picture);
  Invalidate();
}

void TImage::LoadFromFile(const std::string& path) { SetPicture(LoadJpegFile(path)); }

void TImage::SetStretch(bool value) {
  stretch_ = value;
  Invalidate();
}

void TImage::SetCenter(bool value) {
  center_ = value;
  Invalidate();
}

void TImage::Paint(TCanvas& canvas) {
  if (picture_.Empty()) return;
  if (stretch_) {
    canvas.StretchDraw(ClientRect(), picture_);
  } else if (center_) {
    canvas.Draw((Width() - picture_.Width()) / 2, (Height() - picture_.Height()) / 2, picture_);
  } else {
    canvas.Draw(0, 0, picture_);
  }
}

// ------------------------------------------------------------- TRadioGroup

TRadioGroup::TRadioGroup(TComponent* owner) : TCustomControl(owner) {
  ControlStyle |= csOpaque;
  SetParentColor(true);
  SetBounds(0, 0, 185, 105);
}

void TRadioGroup::SetItems(std::vector<std::string> items) {
  items_ = std::move(items);
  itemIndex_ = -1;
  Rebuild();
}

void TRadioGroup::AddItem(const std::string& caption) {
  items_.push_back(caption);
  Rebuild();
}

void TRadioGroup::Rebuild() {
  updating_ = true;
  while (buttons_.size() > items_.size()) {
    buttons_.back()->SetParent(nullptr);
    buttons_.back()->Hide();
    buttons_.pop_back();
  }
  // Buttons beyond the items are kept hidden and loose rather than freed:
  // their owner is this group, which frees them with itself.
  std::vector<TRadioButton*> spare;
  for (const auto& c : Components())
    if (auto* radio = dynamic_cast<TRadioButton*>(c.get()); radio && !radio->Parent()) spare.push_back(radio);
  while (buttons_.size() < items_.size()) {
    TRadioButton* button = nullptr;
    if (!spare.empty()) {
      button = spare.back();
      spare.pop_back();
      button->Show();
    } else {
      button = Create<TRadioButton>();
    }
    const int index = static_cast<int>(buttons_.size());
    button->OnClick = [this, index](TObject*) { ButtonChecked(index); };
    button->SetParent(this);
    buttons_.push_back(button);
  }
  for (size_t i = 0; i < items_.size(); ++i) {
    buttons_[i]->SetCaption(items_[i]);
    buttons_[i]->SetChecked(static_cast<int>(i) == itemIndex_);
  }
  ArrangeButtons();
  updating_ = false;
}

void TRadioGroup::ArrangeButtons() {
  if (buttons_.empty()) return;
  const int top = std::max(Font().Height, 8) + 4;
  const int count = static_cast<int>(buttons_.size());
  const int pitch = std::max((Height() - top - 4) / count, 1);
  for (int i = 0; i < count; ++i) buttons_[i]->SetBounds(8, top + i * pitch, std::max(Width() - 16, 0), std::min(pitch, 17));
}

void TRadioGroup::SetBounds(int left, int top, int width, int height) {
  TCustomControl::SetBounds(left, top, width, height);
  ArrangeButtons();
}

void TRadioGroup::SetItemIndex(int index) {
  if (index < -1 || index >= static_cast<int>(items_.size()))
    throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
  updating_ = true;
  itemIndex_ = index;
  for (size_t i = 0; i < buttons_.size(); ++i) buttons_[i]->SetChecked(static_cast<int>(i) == index);
  updating_ = false;
}

void TRadioGroup::ButtonChecked(int index) {
  if (updating_ || !buttons_[index]->Checked()) return;
  itemIndex_ = index;
  Click();
}

void TRadioGroup::DescribeAccessible(TAccessibleInfo& info) const {
  info.Role = TAccessibleRole::Grouping;
}

void TRadioGroup::Paint(TCanvas& canvas) {
  const TRect r = ClientRect();
  canvas.Brush.Color = Color();
  canvas.Brush.Style = TBrushStyle::Solid;
  canvas.FillRect(r);
  const int mid = std::max(Font().Height, 8) / 2;
  canvas.Brush.Style = TBrushStyle::Clear;
  canvas.Pen.Color = clBtnShadow;
  canvas.Rectangle({r.Left, r.Top + mid, r.Right - 1, r.Bottom - 1});
  canvas.Pen.Color = clBtnHighlight;
  canvas.Rectangle({r.Left + 1, r.Top + mid + 1, r.Right, r.Bottom});
  if (Caption().empty()) return;
  canvas.Font = Font();
  TRect text{8, 0, 8, 0};
  canvas.DrawText(Caption(), text, dtSingleLine | dtCalcRect);
  canvas.Brush.Color = Color();
  canvas.Brush.Style = TBrushStyle::Solid;
  canvas.FillRect({text.Left - 1, text.Top, text.Right + 1, text.Bottom});
  canvas.Brush.Style = TBrushStyle::Clear;
  canvas.DrawText(Caption(), text, dtSingleLine);
}

// --------------------------------------------------------------- TTabSheet

TTabSheet::TTabSheet(TComponent* owner) : TCustomControl(owner) {
  ControlStyle |= csOpaque;
  SetParentColor(true);
  SetVisible(false);
}

TTabSheet::~TTabSheet() {
  if (pageControl_) pageControl_->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* pageControl) {
  if (pageControl == pageControl_) return;
  if (pageControl_) pageControl_->RemovePage(this);
  pageControl_ = pageControl;
  SetParent(pageControl);
  if (pageControl_) pageControl_->InsertPage(this);
}

void TTabSheet::Paint(TCanvas& canvas) {
  canvas.Brush.Color = Color();
  canvas.Brush.Style = TBrushStyle::Solid;
  canvas.FillRect(ClientRect());
}

// ------------------------------------------------------------ TPageControl

TPageControl::TPageControl(TComponent* owner) : TCustomControl(owner) { SetBounds(0, 0, 289, 193); }

TPageControl::~TPageControl() {
  // Sheets owned elsewhere outlive this control: they forget it.
  for (TTabSheet* page : pages_) page->pageControl_ = nullptr;
}

void TPageControl::InsertPage(TTabSheet* page) {
  pages_.push_back(page);
  page->SetBounds(0, 0, Width(), Height());
  page->SetVisible(page == activePage_);
}

void TPageControl::RemovePage(TTabSheet* page) {
  pages_.erase(std::remove(pages_.begin(), pages_.end(), page), pages_.end());
  if (activePage_ == page) activePage_ = nullptr;
}

void TPageControl::SetActivePage(TTabSheet* page) {
  if (page && page->PageControl() != this) throw std::invalid_argument("The sheet is not a page of this control.");
  activePage_ = page;
  // The new page appears before the old one goes, so that nothing flashes.
  if (page) page->Show();
  for (TTabSheet* other : pages_)
    if (other != page) other->Hide();
}

TTabSheet* TPageControl::FindPage(const std::string& name) const {
  for (TTabSheet* page : pages_)
    if (SameText(page->Name, name)) return page;
  return nullptr;
}

void TPageControl::SetBounds(int left, int top, int width, int height) {
  TCustomControl::SetBounds(left, top, width, height);
  for (TTabSheet* page : pages_) page->SetBounds(0, 0, Width(), Height());
}

// ------------------------------------------------------------ TProgressBar

TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner, TControlKind::ProgressBar) {
  SetBounds(0, 0, 150, 16);
}

void TProgressBar::SetRange(int min, int max) {
  if (min > max)
    throw std::invalid_argument("Progress range " + std::to_string(min) + " to " + std::to_string(max) + " is empty.");
  min_ = min;
  max_ = max;
  position_ = std::clamp(position_, min_, max_);
  TWinControl::Changed(TPeerChange::State);
}

void TProgressBar::SetPosition(int value) {
  value = std::clamp(value, min_, max_);
  if (value == position_) return;
  position_ = value;
  TWinControl::Changed(TPeerChange::State);
}

void TProgressBar::DescribeAccessible(TAccessibleInfo& info) const {
  info.Role = TAccessibleRole::ProgressBar;
  info.Value = std::to_string(RoundedPercent(position_ - min_, max_ - min_)) + "%";
}
