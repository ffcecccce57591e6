#include "ui/StdCtrls.h"
#include "ui/win32/Win32Peer.h"

namespace {

// A check box or a radio button: a button window that shows whether its
// control is checked, and tells it of the user's clicks.
template <class TBox>
class TWin32CheckPeer : public TWin32Peer {
 public:
  TWin32CheckPeer(TWin32Backend& backend, TWinControl& box, DWORD buttonStyle)
      : TWin32Peer(backend, box, TWindowClass{"BUTTON", kChildStyle | buttonStyle | WS_TABSTOP, 0}) {}

 protected:
  void ApplyState() override {
    ::SendMessageA(Window(), BM_SETCHECK, Box().Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
  }

  void Command(WORD code) override {
    if (code == BN_CLICKED) Clicked(Box());
  }

 private:
  // Only a control of its own class asks for this peer.
  TBox& Box() const { return static_cast<TBox&>(Control()); }
  static void Clicked(TCheckBox& box) { box.Toggle(); }
  static void Clicked(TRadioButton& radio) { radio.SetChecked(true); }
};

}  // namespace

std::unique_ptr<TWindowPeer> NewCheckBoxPeer(TWin32Backend& backend, TWinControl& box) {
  return std::make_unique<TWin32CheckPeer<TCheckBox>>(backend, box, BS_CHECKBOX);
}

std::unique_ptr<TWindowPeer> NewRadioButtonPeer(TWin32Backend& backend, TWinControl& radio) {
  return std::make_unique<TWin32CheckPeer<TRadioButton>>(backend, radio, BS_RADIOBUTTON);
}
