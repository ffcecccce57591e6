#pragma once
// The strip of buttons under the wizard page. It owns a fixed stock of
// speed buttons, twelve for each end, made once and hidden; on every page
// switch the main window clears the bar and the page shows the buttons it
// needs. All bars share one colour set, given once at start-up.

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "ui/ExtCtrls.h"
#include "widgets/LbSpeedButton.h"

// The colours every button added from now on takes; all black until
// SetColors is first called.
struct TMvButtonColors {
  TColor FontColor = clBlack;
  TColor FaceColor = clBlack;
  TColor LightColor = clBlack;
  TColor ShadowColor = clBlack;
};

class tMvButtonBar : public TPanel {
 public:
  static constexpr int StockSize = 12;
  static constexpr int ButtonHeight = 23;

  explicit tMvButtonBar(TComponent* owner);
  std::string ClassName() const override { return "tMvButtonBar"; }

  // Hides every button; the pages then add what they need.
  void Clear();
  // Shows the next stock button of that end with the caption ("&" marks the
  // access key), tag, width kind and click handler. With all twelve of that
  // end in use the request is dropped.
  void AddLeftButton(const std::string& caption, int tag, uint8_t widthKind, TNotifyEvent onClick);
  void AddRightButton(const std::string& caption, int tag, uint8_t widthKind, TNotifyEvent onClick);
  // Colours the bar and the buttons in use, and keeps the button colours for
  // every button added later, on any bar.
  void SetColors(TColor fontColor, TColor shadowColor, TColor faceColor, TColor lightColor,
                 TColor barColor);

  // Asked on every click of a bar button; while it answers false the
  // button's handler does not run. Without it every click runs.
  std::function<bool()> MayRunHandlers;

  int LeftCount() const { return leftCount_; }
  int RightCount() const { return rightCount_; }
  // Stock buttons in placing order, numbered from 1.
  TLbSpeedButton* LeftButton(int number) const { return left_.at(number - 1); }
  TLbSpeedButton* RightButton(int number) const { return right_.at(number - 1); }

  // Width in pixels of a width kind: 0 30, 1 90, 2 120, 3 200, any other 99.
  static int ButtonWidth(uint8_t widthKind);

  static const TMvButtonColors& SharedColors();
  // Puts the shared colour set back, for tests that need a known start.
  static void SetSharedColors(const TMvButtonColors& colors);

 private:
  using TStock = std::array<TLbSpeedButton*, StockSize>;
  void ShowButton(TLbSpeedButton* button, int left, int width, const std::string& caption, int tag,
                  TNotifyEvent onClick);
  static void Recolor(TLbSpeedButton* button, const TMvButtonColors& colors);

  TStock left_{};
  TStock right_{};
  int leftCount_ = 0;
  int rightCount_ = 0;
};
