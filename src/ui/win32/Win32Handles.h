#pragma once
// The control library's way to the Windows headers: the platform's handle
// kit, and the owners of what only the user interface makes, its windows
// and menus.

// First: the platform's colour macros of the same names then agree with
// the control library's helpers.
#include "ui/Graphics.h"

#include "platform/win32/Win32Handles.h"

// The control library has members of these names; the platform's macros
// would rename them. The A functions are called by their own names.
#undef DrawText
#undef MessageBox

#include <memory>
#include <type_traits>

struct TWindowDeleter {
  void operator()(HWND window) const { ::DestroyWindow(window); }
};
using TWindowHandle = std::unique_ptr<std::remove_pointer_t<HWND>, TWindowDeleter>;

struct TMenuDeleter {
  void operator()(HMENU menu) const { ::DestroyMenu(menu); }
};
using TMenuHandle = std::unique_ptr<std::remove_pointer_t<HMENU>, TMenuDeleter>;
