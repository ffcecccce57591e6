#include "ui/TextLayout.h"

#include <algorithm>

namespace {

struct TShownChar {
  char C;
  bool Underlined;
};
using TShownLine = std::vector<TShownChar>;

// Hard lines with the accelerator marks resolved.
std::vector<TShownLine> SplitHard(const std::string& text, unsigned format) {
  std::vector<TShownLine> lines(1);
  const bool prefix = !(format & dtNoPrefix);
  const bool single = (format & dtSingleLine) != 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (!single && (c == '\r' || c == '\n')) {
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      lines.emplace_back();
      continue;
    }
    if (prefix && c == '&') {
      if (i + 1 >= text.size()) break;  // a closing mark shows nothing
      const char next = text[++i];
      lines.back().push_back({next, next != '&'});
      continue;
    }
    lines.back().push_back({c, false});
  }
  return lines;
}

std::string Plain(const TShownLine& line) {
  std::string s;
  for (const TShownChar& c : line) s += c.C;
  return s;
}

// Breaks one hard line at blanks so that each piece fits width where it can;
// a word longer than the width stands alone on its line.
std::vector<TShownLine> Wrap(const TShownLine& line, int width, const std::function<int(const std::string&)>& measure) {
  std::vector<TShownLine> out;
  size_t start = 0;
  while (start < line.size()) {
    size_t lastBreak = std::string::npos;
    size_t end = start;
    while (end < line.size()) {
      // Extend by the next word including the blanks before it.
      size_t next = end;
      while (next < line.size() && line[next].C == ' ') ++next;
      while (next < line.size() && line[next].C != ' ') ++next;
      TShownLine candidate(line.begin() + start, line.begin() + next);
      if (measure(Plain(candidate)) > width && lastBreak != std::string::npos) break;
      lastBreak = next;
      end = next;
      if (measure(Plain(candidate)) > width) break;
    }
    out.emplace_back(line.begin() + start, line.begin() + end);
    start = end;
    while (start < line.size() && line[start].C == ' ') ++start;  // blanks at a break vanish
  }
  if (out.empty()) out.emplace_back();
  return out;
}

}  // namespace

std::vector<TTextLine> LayoutText(const std::string& text, const TRect& rect, unsigned format, int lineHeight,
                                  const std::function<int(const std::string&)>& measure) {
  std::vector<TShownLine> shown;
  for (const TShownLine& hard : SplitHard(text, format)) {
    if ((format & dtWordBreak) && !(format & dtSingleLine)) {
      for (TShownLine& piece : Wrap(hard, rect.Width(), measure)) shown.push_back(std::move(piece));
    } else {
      shown.push_back(hard);
    }
  }
  std::vector<TTextLine> lines;
  int y = rect.Top;
  if (format & dtSingleLine) {
    if (format & dtVCenter) y = rect.Top + (rect.Height() - lineHeight) / 2;
    else if (format & dtBottom) y = rect.Bottom - lineHeight;
  }
  for (const TShownLine& s : shown) {
    TTextLine line;
    line.Text = Plain(s);
    for (size_t i = 0; i < s.size(); ++i)
      if (s[i].Underlined && line.Underline < 0) line.Underline = static_cast<int>(i);
    line.Width = measure(line.Text);
    if (format & dtCenter) line.X = rect.Left + (rect.Width() - line.Width) / 2;
    else if (format & dtRight) line.X = rect.Right - line.Width;
    else line.X = rect.Left;
    line.Y = y;
    y += lineHeight;
    lines.push_back(std::move(line));
  }
  return lines;
}
