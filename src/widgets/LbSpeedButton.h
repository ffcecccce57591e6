#pragma once
// The program's own push button: a window of its own class whose text is the
// caption, so that test drivers find it like any button, painted entirely by
// DrawButtonFace, and telling assistive technology what a system button
// would: a push button, pressed while down, pressed by its default action.
// It latches in groups, answers its accelerator, can carry a drop-down menu,
// takes colour presets and lets its hot-track colour fade out slowly.

#include <memory>
#include <string>

#include "ui/Controls.h"
#include "ui/Menus.h"
#include "widgets/LbButtonFace.h"
#include "widgets/LbButtonThread.h"
#include "widgets/LbColorStyles.h"

class TLbSpeedButton : public TCustomControl {
 public:
  // 100 x 23, left-aligned caption; on a form it takes a copy of the form's
  // font as its hot-track font.
  explicit TLbSpeedButton(TComponent* owner);
  // A button owned by owner and placed on it, 23 high, caption centred.
  static TLbSpeedButton* CreateAt(TWinControl* owner, int left, int width, int top,
                                  TColor lightColor, TColor shadowColor);
  ~TLbSpeedButton() override;

  std::string ClassName() const override { return "TLbSpeedButton"; }

  TAlignment Alignment() const { return looks_.Alignment; }
  void SetAlignment(TAlignment value);
  bool AllowAllUp() const { return allowAllUp_; }
  void SetAllowAllUp(bool value) { allowAllUp_ = value; }
  TColor ColorWhenDown() const { return looks_.ColorWhenDown; }
  void SetColorWhenDown(TColor value);
  TLbColorStyle ColorStyle() const { return colorStyle_; }
  void SetColorStyle(TLbColorStyle value);
  bool Down() const { return looks_.Down; }
  void SetDown(bool value);
  bool Flat() const { return looks_.Flat; }
  void SetFlat(bool value);
  const TBitmap& Glyph() const { return looks_.Glyph; }
  // Copies the picture and takes its cells as square; null clears the glyph.
  void SetGlyph(const TBitmap* glyph);
  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int value);
  TColor HotTrackColor() const { return looks_.HotTrackColor; }
  void SetHotTrackColor(TColor value) { looks_.HotTrackColor = value; }
  const TFont& HotTrackFont() const { return hotTrackFont_; }
  void SetHotTrackFont(const TFont& font) { hotTrackFont_ = font; }
  TLbSpeedButtonLayout Layout() const { return looks_.Layout; }
  void SetLayout(TLbSpeedButtonLayout value);
  TColor LightColor() const { return looks_.LightColor; }
  void SetLightColor(TColor value);
  int NumGlyphs() const { return looks_.GlyphCells; }
  void SetNumGlyphs(int value);
  TColor ShadowColor() const { return looks_.ShadowColor; }
  void SetShadowColor(TColor value);
  bool SlowDecease() const { return fadeThread_ != nullptr; }
  void SetSlowDecease(bool value);
  TLbSpeedButtonStyle Style() const { return looks_.Style; }
  // bsModern is kept as bsNormal on a screen of 256 colours or fewer.
  void SetStyle(TLbSpeedButtonStyle value);
  bool Transparent() const { return looks_.Transparent; }
  void SetTransparent(bool value);
  bool UseHotTrackFont() const { return useHotTrackFont_; }
  void SetUseHotTrackFont(bool value) { useHotTrackFont_ = value; }
  bool WordWrap() const { return looks_.WordWrap; }
  void SetWordWrap(bool value);
  // The drop-down menu, not owned; it reads as null once the menu is freed.
  TPopupMenu* PopupMenu() const { return popupMenu_.get(); }
  void SetPopupMenu(TPopupMenu* menu);

  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseExit;

  // The pointer is over the button, and how far its face has faded back
  // from the hot-track colour (8: fully hot).
  bool MouseInside() const { return mouseInside_; }
  int FadeStep() const { return fadeStep_; }

  void Paint(TCanvas& canvas) override;
  void Click() override;
  void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
  void DoubleClickPress(TMouseButton button, TShiftState shift, int x, int y) override;
  void MouseEnter() override;
  void MouseLeave() override;
  bool DialogChar(char key) override;
  void DescribeAccessible(TAccessibleInfo& info) const override;
  // What the accelerator does: shown pressed while the click runs.
  void DoDefaultAction() override;

  // One step of the slow fade; the fade thread runs it on the main thread.
  void FadeTick();

 protected:
  void Changed(TPeerChange what) override;
  // A button without a glyph takes the action's picture as its glyph.
  void ActionChange(TObject* sender, bool checkDefaults) override;

 private:
  // Paints at once, or, when transparent, lets the parent repaint behind.
  void RepaintFace();
  bool Reachable() const;
  void ReleaseInGroup();
  // Down as stored, painted and told.
  void StoreDown(bool value);

  TLbButtonLooks looks_;
  bool allowAllUp_ = false;
  TLbColorStyle colorStyle_ = lcsCustom;
  int groupIndex_ = 0;
  TFont hotTrackFont_;
  bool useHotTrackFont_ = false;
  TComponentRef<TPopupMenu> popupMenu_;

  bool mouseInside_ = false;
  int fadeStep_ = 0;
  bool destroying_ = false;
  std::unique_ptr<TLbButtonThread> fadeThread_;
};
