#pragma once
// The class library's simple message box: the text, an OK button and the
// application's title as caption.

#include <string>

#include "ui/Application.h"

inline void ShowMessage(const std::string& text) { Application().MessageBox(text, mbOk); }
