#pragma once
// The platform's text rules, for canvases that lay text out themselves:
// "&" marks the accelerator ("&&" is one "&"), line breaks at CR, LF and
// CR LF, and with word breaks a line ends at the last blank that fits.

#include <functional>
#include <string>
#include <vector>

#include "ui/Graphics.h"

struct TTextLine {
  std::string Text;     // as shown, accelerator marks removed
  int Underline = -1;   // index in Text of the underlined character, or -1
  int X = 0;            // position where the line is drawn
  int Y = 0;
  int Width = 0;
};

// Lays text out in rect. measure gives the width of a shown string; every
// line is lineHeight high. Positions follow the alignment bits of format.
std::vector<TTextLine> LayoutText(const std::string& text, const TRect& rect, unsigned format, int lineHeight,
                                  const std::function<int(const std::string&)>& measure);
