#pragma once
// Containers and pictures: panel, picture, radio group, page control with
// hidden tabs, progress bar.

#include <string>
#include <vector>

#include "ui/Controls.h"
#include "ui/StdCtrls.h"

enum class TBevelCut { bvNone, bvLowered, bvRaised };

// A container with a colour, an optional bevel and a centred caption.
class TPanel : public TCustomControl {
 public:
  explicit TPanel(TComponent* owner);
  std::string ClassName() const override { return "TPanel"; }

  TBevelCut BevelOuter() const { return bevelOuter_; }
  void SetBevelOuter(TBevelCut value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);

  void Paint(TCanvas& canvas) override;

 private:
  TBevelCut bevelOuter_ = TBevelCut::bvRaised;
  TAlignment alignment_ = TAlignment::taCenter;
};

// A picture drawn by its parent: unscaled at the top-left corner, centred,
// or stretched over the whole control.
class TImage : public TGraphicControl {
 public:
  explicit TImage(TComponent* owner);
  std::string ClassName() const override { return "TImage"; }

  const TBitmap& Picture() const { return picture_; }
  void SetPicture(TBitmap picture);
  // Decodes a JPEG file (baseline or progressive) into the picture.
  void LoadFromFile(const std::string& path);
  bool Stretch() const { return stretch_; }
  void SetStretch(bool value);
  bool Center() const { return center_; }
  void SetCenter(bool value);

  void Paint(TCanvas& canvas) override;

 private:
  TBitmap picture_;
  bool stretch_ = false;
  bool center_ = false;
};

// A framed group of radio buttons, one per item; ItemIndex is the checked one.
// OnClick runs when the user checks another item.
class TRadioGroup : public TCustomControl {
 public:
  explicit TRadioGroup(TComponent* owner);
  std::string ClassName() const override { return "TRadioGroup"; }

  const std::vector<std::string>& Items() const { return items_; }
  void SetItems(std::vector<std::string> items);
  void ClearItems() { SetItems({}); }
  void AddItem(const std::string& caption);
  int ItemIndex() const { return itemIndex_; }
  // -1 checks none; an index outside the items is an error.
  void SetItemIndex(int index);
  TRadioButton* Button(int index) const { return buttons_.at(index); }

  void SetBounds(int left, int top, int width, int height) override;
  void Paint(TCanvas& canvas) override;
  void DescribeAccessible(TAccessibleInfo& info) const override;

 private:
  void Rebuild();
  void ArrangeButtons();
  void ButtonChecked(int index);

  std::vector<std::string> items_;
  std::vector<TRadioButton*> buttons_;
  int itemIndex_ = -1;
  bool updating_ = false;
};

class TPageControl;

// A page of a page control; its tab is never shown.
class TTabSheet : public TCustomControl {
 public:
  explicit TTabSheet(TComponent* owner);
  ~TTabSheet() override;
  std::string ClassName() const override { return "TTabSheet"; }
  TPageControl* PageControl() const { return pageControl_; }
  void SetPageControl(TPageControl* pageControl);
  void Paint(TCanvas& canvas) override;

 private:
  friend class TPageControl;
  TPageControl* pageControl_ = nullptr;
};

// Pages stacked on one another, one shown at a time, with no tabs: the
// program switches pages itself.
class TPageControl : public TCustomControl {
 public:
  explicit TPageControl(TComponent* owner);
  ~TPageControl() override;
  std::string ClassName() const override { return "TPageControl"; }

  const std::vector<TTabSheet*>& Pages() const { return pages_; }
  int PageCount() const { return static_cast<int>(pages_.size()); }
  TTabSheet* ActivePage() const { return activePage_; }
  // Shows the page and hides the others; null hides them all.
  void SetActivePage(TTabSheet* page);
  // The page with this name, compared without regard to letter case; null if none.
  TTabSheet* FindPage(const std::string& name) const;

  void SetBounds(int left, int top, int width, int height) override;

 private:
  friend class TTabSheet;
  void InsertPage(TTabSheet* page);
  void RemovePage(TTabSheet* page);

  std::vector<TTabSheet*> pages_;
  TTabSheet* activePage_ = nullptr;
};

// A progress bar between Min and Max, drawn smooth rather than in blocks.
class TProgressBar : public TWinControl {
 public:
  explicit TProgressBar(TComponent* owner);
  std::string ClassName() const override { return "TProgressBar"; }

  int Min() const { return min_; }
  int Max() const { return max_; }
  int Position() const { return position_; }
  // Min above Max is an error.
  void SetRange(int min, int max);
  void SetMin(int value) { SetRange(value, max_); }
  void SetMax(int value) { SetRange(min_, value); }
  // Clamped into Min to Max.
  void SetPosition(int value);
  // Its value is the percentage of the range that is done, "0%" to "100%".
  void DescribeAccessible(TAccessibleInfo& info) const override;

 private:
  int min_ = 0;
  int max_ = 100;
  int position_ = 0;
};
