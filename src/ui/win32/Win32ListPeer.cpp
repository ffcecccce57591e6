#include "ui/FileCtrl.h"
#include "ui/win32/Win32Canvas.h"
#include "ui/win32/Win32Peer.h"

namespace {

// The folder list: an owner-drawn list whose items the control draws as
// folders, open or closed, indented by their depth.
class TWin32ListPeer : public TWin32Peer {
 public:
  TWin32ListPeer(TWin32Backend& backend, TWinControl& list)
      : TWin32Peer(backend, list,
                   TWindowClass{"LISTBOX",
                                kChildStyle | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
                                    LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
                                WS_EX_CLIENTEDGE}) {}

  bool TakesTyping() const override { return true; }

 protected:
  void ApplyState() override {
    HWND w = Window();
    ::SendMessageA(w, WM_SETREDRAW, FALSE, 0);
    ::SendMessageA(w, LB_RESETCONTENT, 0, 0);
    ::SendMessageA(w, LB_SETITEMHEIGHT, 0, Scale().Device(List().ItemHeight));
    for (const TDirectoryItem& item : List().Items())
      ::SendMessageA(w, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.Caption.c_str()));
    ::SendMessageA(w, LB_SETCURSEL, static_cast<WPARAM>(List().SelectedIndex()), 0);
    ::SendMessageA(w, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(w, nullptr, TRUE);
  }

  void Command(WORD code) override {
    const int index = static_cast<int>(::SendMessageA(Window(), LB_GETCURSEL, 0, 0));
    if (code == LBN_SELCHANGE) List().SelectByUser(index);
    if (code == LBN_DBLCLK) List().OpenByUser(index);
  }

  void DrawItem(const DRAWITEMSTRUCT& item) override {
    const TDirectoryListBox& list = List();
    if (item.itemID == static_cast<UINT>(-1) || item.itemID >= list.Items().size()) return;
    const TDirectoryItem& entry = list.Items()[item.itemID];
    // The item is drawn in layout pixels from its own top-left corner.
    const TDpiScale scale = Scale();
    POINT origin{};
    ::OffsetViewportOrgEx(item.hDC, item.rcItem.left, item.rcItem.top, &origin);
    TWin32Canvas canvas(item.hDC, scale);
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const TRect r{0, 0, scale.LayoutLength(item.rcItem.right - item.rcItem.left),
                  scale.LayoutLength(item.rcItem.bottom - item.rcItem.top)};
    canvas.Brush.Color = selected ? (clSystemColor | COLOR_HIGHLIGHT) : list.Color();
    canvas.FillRect(r);
    const int x = r.Left + 2 + entry.Level * 8;
    // A small folder, open for the current folder and the ones above it.
    canvas.Brush.Color = entry.Open ? RGB(255, 224, 128) : RGB(240, 200, 80);
    canvas.Pen.Color = RGB(128, 96, 0);
    canvas.Rectangle({x, r.Top + 4, x + 14, r.Top + 14});
    canvas.Rectangle({x, r.Top + 2, x + 6, r.Top + 5});
    canvas.Font = list.Font();
    canvas.Font.Color = selected ? (clSystemColor | COLOR_HIGHLIGHTTEXT) : list.Font().Color;
    TRect text{x + 18, r.Top, r.Right, r.Bottom};
    canvas.DrawText(entry.Caption, text, dtSingleLine | dtVCenter | dtNoPrefix);
    ::SetViewportOrgEx(item.hDC, origin.x, origin.y, nullptr);
  }

 private:
  // Only the folder list asks for this peer.
  TDirectoryListBox& List() const { return static_cast<TDirectoryListBox&>(Control()); }
};

}  // namespace

std::unique_ptr<TWindowPeer> NewListBoxPeer(TWin32Backend& backend, TWinControl& list) {
  return std::make_unique<TWin32ListPeer>(backend, list);
}
