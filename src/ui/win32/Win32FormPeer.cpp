#include "ui/Forms.h"
#include "ui/win32/Win32PaintedPeer.h"

namespace {

class TWin32FormPeer : public TWin32PaintedPeer {
 public:
  // Tab moves through the controls of nested panels too.
  TWin32FormPeer(TWin32Backend& backend, TWinControl& form)
      : TWin32PaintedPeer(backend, form, WS_OVERLAPPED | WS_CAPTION | WS_CLIPCHILDREN,
                          WS_EX_DLGMODALFRAME | WS_EX_APPWINDOW | WS_EX_CONTROLPARENT) {}

 protected:
  // A form has no neighbours and keeps its size when scaled, and its width
  // and height are those of its client area.
  RECT DeviceBounds(DWORD style, DWORD exStyle) const override {
    const TDpiScale scale = Scale();
    const TRect bounds = scale.Device(Control().BoundsRect());
    RECT r{0, 0, scale.Device(Control().Width()), scale.Device(Control().Height())};
    ::AdjustWindowRectEx(&r, style, FALSE, exStyle);
    return RECT{bounds.Left, bounds.Top, bounds.Left + r.right - r.left, bounds.Top + r.bottom - r.top};
  }

  // Whole-window opacity.
  void ApplyState() override {
    const TForm& form = Form();
    HWND w = Window();
    LONG ex = ::GetWindowLongA(w, GWL_EXSTYLE);
    if (form.AlphaBlend()) {
      ::SetWindowLongA(w, GWL_EXSTYLE, ex | WS_EX_LAYERED);
      ::SetLayeredWindowAttributes(w, 0, form.AlphaBlendValue(), LWA_ALPHA);
    } else if (ex & WS_EX_LAYERED) {
      ::SetWindowLongA(w, GWL_EXSTYLE, ex & ~WS_EX_LAYERED);
      ::RedrawWindow(w, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
    }
  }

  bool Message(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    if (message != WM_CLOSE) return TWin32PaintedPeer::Message(message, wParam, lParam, result);
    Form().Close();
    return true;
  }

 private:
  // Only a form asks for this peer.
  TForm& Form() const { return static_cast<TForm&>(Control()); }
};

}  // namespace

std::unique_ptr<TWindowPeer> NewFormPeer(TWin32Backend& backend, TWinControl& form) {
  return std::make_unique<TWin32FormPeer>(backend, form);
}
