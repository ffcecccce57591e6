#pragma once
// One owner per kind of handle, so that no path, error or not, leaks one.

#include "ui/Graphics.h"

#include <windows.h>

// The control library has members of these names; the platform's macros
// would rename them. The A functions are called by their own names.
#undef DrawText
#undef MessageBox

#include <memory>
#include <type_traits>

struct TGdiObjectDeleter {
  void operator()(void* object) const { ::DeleteObject(static_cast<HGDIOBJ>(object)); }
};
using TGdiObject = std::unique_ptr<void, TGdiObjectDeleter>;

struct TDcDeleter {
  void operator()(HDC dc) const { ::DeleteDC(dc); }
};
using TMemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, TDcDeleter>;

struct TWindowDeleter {
  void operator()(HWND window) const { ::DestroyWindow(window); }
};
using TWindowHandle = std::unique_ptr<std::remove_pointer_t<HWND>, TWindowDeleter>;

struct TMenuDeleter {
  void operator()(HMENU menu) const { ::DestroyMenu(menu); }
};
using TMenuHandle = std::unique_ptr<std::remove_pointer_t<HMENU>, TMenuDeleter>;

// Selects an object into a device context for one scope.
class TSelection {
 public:
  TSelection(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? ::SelectObject(dc, object) : nullptr) {}
  ~TSelection() {
    if (old_) ::SelectObject(dc_, old_);
  }
  TSelection(const TSelection&) = delete;
  TSelection& operator=(const TSelection&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// A screen device context borrowed for one scope.
class TScreenDc {
 public:
  TScreenDc() : dc_(::GetDC(nullptr)) {}
  ~TScreenDc() { ::ReleaseDC(nullptr, dc_); }
  TScreenDc(const TScreenDc&) = delete;
  TScreenDc& operator=(const TScreenDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};
