#pragma once
// The window of a control that paints itself: its own class, painted
// through a buffer so that graphic controls over a picture never flicker,
// and the mouse's input handed to the control.

#include "ui/win32/Win32Peer.h"

class TWin32PaintedPeer : public TWin32Peer {
 public:
  TWin32PaintedPeer(TWin32Backend& backend, TWinControl& control, DWORD style, DWORD exStyle)
      : TWin32Peer(backend, control, TWindowClass{nullptr, style, exStyle}) {}

 protected:
  bool Message(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 private:
  void Paint();
  void Mouse(TMouseAction action, TMouseButton button, WPARAM wParam, LPARAM lParam);

  bool tracking_ = false;
};
