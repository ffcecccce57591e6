#pragma once
// The control library's way to the Windows headers: the platform's handle
// kit, and the owners of what only the user interface makes or opens: its
// windows and menus, a window's painting, the clipboard.

// First: the platform's colour macros of the same names then agree with
// the control library's helpers.
#include "ui/Graphics.h"

#include "platform/win32/Win32Handles.h"

// The control library has members of these names; the platform's macros
// would rename them. The A functions are called by their own names.
#undef DrawText
#undef MessageBox

#include <memory>
#include <stdexcept>
#include <type_traits>

struct TWindowDeleter {
  void operator()(HWND window) const { ::DestroyWindow(window); }
};
using TWindowHandle = std::unique_ptr<std::remove_pointer_t<HWND>, TWindowDeleter>;

struct TMenuDeleter {
  void operator()(HMENU menu) const { ::DestroyMenu(menu); }
};
using TMenuHandle = std::unique_ptr<std::remove_pointer_t<HMENU>, TMenuDeleter>;

// BeginPaint and EndPaint as one scope, whatever happens between them.
class TPaintScope {
 public:
  explicit TPaintScope(HWND window) : window_(window), dc_(::BeginPaint(window, &paint_)) {}
  ~TPaintScope() { ::EndPaint(window_, &paint_); }
  TPaintScope(const TPaintScope&) = delete;
  TPaintScope& operator=(const TPaintScope&) = delete;
  HDC Dc() const { return dc_; }
  const RECT& Area() const { return paint_.rcPaint; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

// The clipboard, opened for one scope.
class TClipboardScope {
 public:
  TClipboardScope() {
    if (!::OpenClipboard(nullptr)) throw std::runtime_error("Cannot open the clipboard.");
  }
  ~TClipboardScope() { ::CloseClipboard(); }
  TClipboardScope(const TClipboardScope&) = delete;
  TClipboardScope& operator=(const TClipboardScope&) = delete;
};
