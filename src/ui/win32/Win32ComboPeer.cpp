#include "ui/StdCtrls.h"
#include "ui/win32/Win32Peer.h"

#include <string>
#include <vector>

namespace {

class TWin32ComboPeer : public TWin32Peer {
 public:
  TWin32ComboPeer(TWin32Backend& backend, TWinControl& combo)
      : TWin32Peer(backend, combo,
                   TWindowClass{"COMBOBOX", kChildStyle | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0}) {}

  bool TakesTyping() const override { return true; }

 protected:
  // The window holds the dropped-down list too.
  RECT DeviceBounds(DWORD style, DWORD exStyle) const override {
    RECT r = TWin32Peer::DeviceBounds(style, exStyle);
    r.bottom += Scale().Device(200);
    return r;
  }

  void ApplyState() override {
    HWND w = Window();
    if (Combo().Items() != items_) {
      items_ = Combo().Items();
      ::SendMessageA(w, CB_RESETCONTENT, 0, 0);
      for (const std::string& item : items_) ::SendMessageA(w, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    ::SendMessageA(w, CB_SETCURSEL, static_cast<WPARAM>(Combo().ItemIndex()), 0);
  }

  void Command(WORD code) override {
    if (code == CBN_SELCHANGE) Combo().SelectByUser(static_cast<int>(::SendMessageA(Window(), CB_GETCURSEL, 0, 0)));
  }

 private:
  // Only a drop-down list asks for this peer.
  TComboBox& Combo() const { return static_cast<TComboBox&>(Control()); }

  std::vector<std::string> items_;  // what the window was last told
};

}  // namespace

std::unique_ptr<TWindowPeer> NewComboBoxPeer(TWin32Backend& backend, TWinControl& combo) {
  return std::make_unique<TWin32ComboPeer>(backend, combo);
}
