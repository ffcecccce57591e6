#pragma once
// The standard controls: label, static text, edit field, push button, check
// box, radio button and drop-down list.

#include <string>
#include <vector>

#include "ui/Controls.h"

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
enum class TTextLayout { tlTop, tlCenter, tlBottom };

// A caption drawn by its parent. A transparent label leaves the background
// alone, so that a picture below it shows through.
class TLabel : public TGraphicControl {
 public:
  explicit TLabel(TComponent* owner);
  std::string ClassName() const override { return "TLabel"; }

  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment value);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout value);
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool value);

  void Paint(TCanvas& canvas) override;
  // Text, or a link when a click does something.
  void DescribeAccessible(TAccessibleInfo& info) const override;

 protected:
  void Changed(TPeerChange what) override;

 private:
  unsigned Format() const;
  void AdjustBounds();

  bool autoSize_ = true;
  bool transparent_ = false;
  bool wordWrap_ = false;
  TAlignment alignment_ = TAlignment::taLeftJustify;
  TTextLayout layout_ = TTextLayout::tlTop;
  bool showAccelChar_ = true;
  bool adjusting_ = false;
};

// Text of a fixed size in a window of its own, broken into lines at word
// boundaries and at carriage returns.
class TStaticText : public TWinControl {
 public:
  explicit TStaticText(TComponent* owner);
  std::string ClassName() const override { return "TStaticText"; }
  void DescribeAccessible(TAccessibleInfo& info) const override;
};

// A one-line edit field. OnChange follows every change of the text, typed or
// set; OnExit (inherited) runs when the field loses the focus.
class TEdit : public TWinControl {
 public:
  explicit TEdit(TComponent* owner);
  std::string ClassName() const override { return "TEdit"; }
  TNotifyEvent OnChange;
  // The backend reports the text the user typed.
  void TextEditedByUser(const std::string& text) { SetCaption(text); }
  // Named after its label only: its text is its value.
  void DescribeAccessible(TAccessibleInfo& info) const override;

 protected:
  void Changed(TPeerChange what) override;
};

class TButton : public TWinControl {
 public:
  explicit TButton(TComponent* owner);
  std::string ClassName() const override { return "TButton"; }
  bool DialogChar(char key) override;
  void DescribeAccessible(TAccessibleInfo& info) const override;
};

// A check box whose OnClick runs whenever Checked changes, by the user or not.
class TCheckBox : public TWinControl {
 public:
  explicit TCheckBox(TComponent* owner);
  std::string ClassName() const override { return "TCheckBox"; }
  bool Checked() const { return checked_; }
  void SetChecked(bool value);
  // A click of the user.
  void Toggle() { SetChecked(!checked_); }
  bool DialogChar(char key) override;
  void DescribeAccessible(TAccessibleInfo& info) const override;
  // Takes the focus and toggles, as the accelerator does.
  void DoDefaultAction() override;

 private:
  bool checked_ = false;
};

// Checking a radio button unchecks the other radio buttons on its parent.
class TRadioButton : public TWinControl {
 public:
  explicit TRadioButton(TComponent* owner);
  std::string ClassName() const override { return "TRadioButton"; }
  bool Checked() const { return checked_; }
  void SetChecked(bool value);
  bool DialogChar(char key) override;
  void DescribeAccessible(TAccessibleInfo& info) const override;
  // Takes the focus and checks, as the accelerator does.
  void DoDefaultAction() override;

 private:
  bool checked_ = false;
};

// A drop-down list: the text is the chosen item. OnChange runs when the user
// picks an item.
class TComboBox : public TWinControl {
 public:
  explicit TComboBox(TComponent* owner);
  std::string ClassName() const override { return "TComboBox"; }

  const std::vector<std::string>& Items() const { return items_; }
  void SetItems(std::vector<std::string> items);
  int ItemIndex() const { return itemIndex_; }
  // -1 chooses nothing; an index outside the items is an error.
  void SetItemIndex(int index);
  std::string Text() const override;
  void DescribeAccessible(TAccessibleInfo& info) const override;
  TNotifyEvent OnChange;
  // A pick of the user.
  virtual void SelectByUser(int index);

 private:
  std::vector<std::string> items_;
  int itemIndex_ = -1;
};
