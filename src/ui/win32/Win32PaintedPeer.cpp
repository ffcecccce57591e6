#include "ui/win32/Win32PaintedPeer.h"

#include "ui/win32/Win32Canvas.h"

#include <windowsx.h>

#include <stdexcept>

namespace {

TShiftState ShiftOf(WPARAM keys) {
  TShiftState shift = 0;
  if (keys & MK_SHIFT) shift |= ssShift;
  if (keys & MK_CONTROL) shift |= ssCtrl;
  if (keys & MK_LBUTTON) shift |= ssLeft;
  if (keys & MK_RBUTTON) shift |= ssRight;
  if (keys & MK_MBUTTON) shift |= ssMiddle;
  if (::GetKeyState(VK_MENU) < 0) shift |= ssAlt;
  return shift;
}

}  // namespace

bool TWin32PaintedPeer::Message(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (TWin32Peer::Message(message, wParam, lParam, result)) return true;
  switch (message) {
    case WM_PAINT: Paint(); return true;
    case WM_ERASEBKGND: result = 1; return true;
    case WM_MOUSEMOVE: Mouse(TMouseAction::Move, TMouseButton::mbLeft, wParam, lParam); return true;
    case WM_LBUTTONDOWN: Mouse(TMouseAction::Down, TMouseButton::mbLeft, wParam, lParam); return true;
    case WM_RBUTTONDOWN: Mouse(TMouseAction::Down, TMouseButton::mbRight, wParam, lParam); return true;
    case WM_MBUTTONDOWN: Mouse(TMouseAction::Down, TMouseButton::mbMiddle, wParam, lParam); return true;
    case WM_LBUTTONUP: Mouse(TMouseAction::Up, TMouseButton::mbLeft, wParam, lParam); return true;
    case WM_RBUTTONUP: Mouse(TMouseAction::Up, TMouseButton::mbRight, wParam, lParam); return true;
    case WM_MBUTTONUP: Mouse(TMouseAction::Up, TMouseButton::mbMiddle, wParam, lParam); return true;
    case WM_LBUTTONDBLCLK: Mouse(TMouseAction::DoubleClick, TMouseButton::mbLeft, wParam, lParam); return true;
    case WM_RBUTTONDBLCLK: Mouse(TMouseAction::DoubleClick, TMouseButton::mbRight, wParam, lParam); return true;
    case WM_MOUSELEAVE:
      tracking_ = false;
      Control().MouseExitWindow();
      return true;
    case WM_CLOSE:  // a control's window goes with its control only
      return true;
    default:
      return false;
  }
}

void TWin32PaintedPeer::Paint() {
  TPaintScope scope(Window());
  RECT client;
  ::GetClientRect(Window(), &client);
  if (client.right <= 0 || client.bottom <= 0) return;
  // Painted into a buffer and copied once: graphic controls over a
  // picture never show a half-drawn state. Only the area to repaint
  // reaches the screen, so the buffer covers only it and only it is
  // drawn: a label's new text costs its own rectangle, not the whole page.
  const RECT& area = scope.Area();
  if (area.right <= area.left || area.bottom <= area.top) return;
  TMemoryDc buffer(::CreateCompatibleDC(scope.Dc()));
  TGdiObject bitmap(::CreateCompatibleBitmap(scope.Dc(), area.right - area.left, area.bottom - area.top));
  if (!buffer || !bitmap) throw std::runtime_error("Out of drawing resources.");
  TSelection use(buffer.get(), bitmap.get());
  ::SetViewportOrgEx(buffer.get(), -area.left, -area.top, nullptr);
  ::IntersectClipRect(buffer.get(), area.left, area.top, area.right, area.bottom);
  TWin32Canvas canvas(buffer.get(), Scale());
  // A new bitmap holds no background: where the control leaves it alone
  // it would show black. Scaled, the window's size and its painting may
  // part by a pixel at the far edges, which then take the control's colour.
  if (!Scale().Identity()) ::FillRect(buffer.get(), &client, BackgroundBrush(Control().Color()));
  Control().PaintBackground(canvas);
  Control().PaintWindow(canvas);
  ::BitBlt(scope.Dc(), area.left, area.top, area.right - area.left, area.bottom - area.top, buffer.get(), area.left,
           area.top, SRCCOPY);
}

void TWin32PaintedPeer::Mouse(TMouseAction action, TMouseButton button, WPARAM wParam, LPARAM lParam) {
  if (!tracking_) {
    TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, Window(), 0};
    tracking_ = ::TrackMouseEvent(&track) != FALSE;
  }
  if (action == TMouseAction::Down || action == TMouseAction::DoubleClick) ::SetCapture(Window());
  if (action == TMouseAction::Up && ::GetCapture() == Window()) ::ReleaseCapture();
  Control().MouseInput(action, button, ShiftOf(wParam), Scale().Layout(GET_X_LPARAM(lParam)),
                       Scale().Layout(GET_Y_LPARAM(lParam)));
}
