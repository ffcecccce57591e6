#include "ui/win32/Win32Peer.h"

namespace {

class TWin32ButtonPeer : public TWin32Peer {
 public:
  TWin32ButtonPeer(TWin32Backend& backend, TWinControl& button)
      : TWin32Peer(backend, button, TWindowClass{"BUTTON", kChildStyle | BS_PUSHBUTTON | WS_TABSTOP, 0}) {}

 protected:
  void Command(WORD code) override {
    if (code == BN_CLICKED) Control().Click();
  }
};

}  // namespace

std::unique_ptr<TWindowPeer> NewButtonPeer(TWin32Backend& backend, TWinControl& button) {
  return std::make_unique<TWin32ButtonPeer>(backend, button);
}
