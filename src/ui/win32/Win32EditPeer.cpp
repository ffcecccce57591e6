#include "ui/StdCtrls.h"
#include "ui/win32/Win32Peer.h"

namespace {

class TWin32EditPeer : public TWin32Peer {
 public:
  TWin32EditPeer(TWin32Backend& backend, TWinControl& edit)
      : TWin32Peer(backend, edit, TWindowClass{"EDIT", kChildStyle | ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE}) {}

  bool TakesTyping() const override { return true; }

 protected:
  void Command(WORD code) override {
    // Only an edit field asks for this peer.
    if (code == EN_CHANGE) static_cast<TEdit&>(Control()).TextEditedByUser(WindowText(Window()));
  }
};

}  // namespace

std::unique_ptr<TWindowPeer> NewEditPeer(TWin32Backend& backend, TWinControl& edit) {
  return std::make_unique<TWin32EditPeer>(backend, edit);
}
