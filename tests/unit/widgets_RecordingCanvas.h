#pragma once
// A canvas for face-drawing tests: it keeps every call with the brush, pen
// and font in force at that moment. Text is measured as 6 pixels per
// character and 13 pixels per line, word-broken greedily at blanks.

#include <string>
#include <vector>

#include "ui/Graphics.h"

namespace widgets_test {

struct CanvasOp {
  enum Kind { FillRect, MoveTo, LineTo, Rectangle, RoundRect, DrawText, Draw, DrawTransparent };
  Kind kind = FillRect;
  TRect rect{};
  TPoint point{};
  TBrush brush{};
  TPen pen{};
  TFont font{};
  std::string text;
  unsigned format = 0;
  TBitmap bitmap;
  TColor transparent = clNone;
};

class RecordingCanvas : public TCanvas {
 public:
  static constexpr int kCharWidth = 6;
  static constexpr int kLineHeight = 13;

  std::vector<CanvasOp> ops;

  std::vector<CanvasOp> OfKind(CanvasOp::Kind kind) const {
    std::vector<CanvasOp> out;
    for (const CanvasOp& op : ops)
      if (op.kind == kind) out.push_back(op);
    return out;
  }

  void FillRect(const TRect& rect) override { Add(CanvasOp::FillRect).rect = rect; }
  void MoveTo(int x, int y) override { Add(CanvasOp::MoveTo).point = {x, y}; }
  void LineTo(int x, int y) override { Add(CanvasOp::LineTo).point = {x, y}; }
  void Rectangle(const TRect& rect) override { Add(CanvasOp::Rectangle).rect = rect; }
  void RoundRect(const TRect& rect, int ew, int eh) override {
    CanvasOp& op = Add(CanvasOp::RoundRect);
    op.rect = rect;
    op.point = {ew, eh};
  }
  TPoint TextExtent(const std::string& text) override {
    return {static_cast<int>(text.size()) * kCharWidth, kLineHeight};
  }
  int DrawText(const std::string& text, TRect& rect, unsigned format) override {
    if (format & dtCalcRect) {
      const TPoint size = Measure(text, rect.Width(), format);
      rect.Right = rect.Left + size.X;
      rect.Bottom = rect.Top + size.Y;
      return size.Y;
    }
    CanvasOp& op = Add(CanvasOp::DrawText);
    op.text = text;
    op.rect = rect;
    op.format = format;
    return Measure(text, rect.Width(), format).Y;
  }
  void Draw(int x, int y, const TBitmap& bitmap) override {
    CanvasOp& op = Add(CanvasOp::Draw);
    op.point = {x, y};
    op.bitmap = bitmap;
  }
  void DrawTransparent(int x, int y, const TBitmap& bitmap, TColor transparent) override {
    CanvasOp& op = Add(CanvasOp::DrawTransparent);
    op.point = {x, y};
    op.bitmap = bitmap;
    op.transparent = transparent;
  }
  void StretchDraw(const TRect& rect, const TBitmap& bitmap) override {
    CanvasOp& op = Add(CanvasOp::Draw);
    op.rect = rect;
    op.bitmap = bitmap;
  }

 private:
  CanvasOp& Add(CanvasOp::Kind kind) {
    CanvasOp op;
    op.kind = kind;
    op.brush = Brush;
    op.pen = Pen;
    op.font = Font;
    ops.push_back(std::move(op));
    return ops.back();
  }

  static TPoint Measure(const std::string& text, int width, unsigned format) {
    if (!(format & dtWordBreak) || text.empty())
      return {static_cast<int>(text.size()) * kCharWidth, kLineHeight};
    int lines = 1, widest = 0, line = 0;
    size_t start = 0;
    while (start <= text.size()) {
      size_t end = text.find(' ', start);
      if (end == std::string::npos) end = text.size();
      const int word = static_cast<int>(end - start) * kCharWidth;
      const int joined = line == 0 ? word : line + kCharWidth + word;
      if (line > 0 && joined > width) {
        ++lines;
        line = word;
      } else {
        line = joined;
      }
      if (line > widest) widest = line;
      start = end + 1;
    }
    return {widest, lines * kLineHeight};
  }
};

}  // namespace widgets_test
