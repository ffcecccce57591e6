#pragma once
// The top-level window. Its Width and Height are those of the client area,
// so that a layout given in client pixels fits whatever the frame takes.

#include "ui/Controls.h"

enum class TPosition { poDesigned, poScreenCenter };

class TForm : public TWinControl {
 public:
  explicit TForm(TComponent* owner);
  ~TForm() override;
  std::string ClassName() const override { return "TForm"; }

  // A form is showing when it is visible itself; it has no parent.
  bool Showing() const override { return Visible(); }

  // With poScreenCenter the form moves to the middle of the screen each time
  // it is shown.
  TPosition Position = TPosition::poDesigned;

  TNotifyEvent OnShow;
  TNotifyEvent OnClose;
  // Hides the form; closing the main form ends the message loop.
  void Close();

  // Whole-window opacity: with AlphaBlend on, 0 is fully transparent, 255 opaque.
  bool AlphaBlend() const { return alphaBlend_; }
  void SetAlphaBlend(bool value);
  uint8_t AlphaBlendValue() const { return alphaBlendValue_; }
  void SetAlphaBlendValue(uint8_t value);

  // The control with the keyboard focus, as the backend reports it; may be null.
  TWinControl* ActiveControl = nullptr;

  // Gives a control of this form the focus now, or once it and the windows
  // around it show (see TWinControl::SetFocus); a later call replaces a
  // waiting one.
  void FocusControl(TWinControl& control);
  // Gives the waiting focus if its control can take it now.
  void GiveWaitingFocus();
  // The control that the focus waits for; null when none.
  TWinControl* WaitingFocus() const { return waitingFocus_.get(); }

  void Paint(TCanvas& canvas) override;
  void DescribeAccessible(TAccessibleInfo& info) const override;

 protected:
  void Changed(TPeerChange what) override;

 private:
  TComponentRef<TWinControl> waitingFocus_;
  bool alphaBlend_ = false;
  uint8_t alphaBlendValue_ = 255;
};
