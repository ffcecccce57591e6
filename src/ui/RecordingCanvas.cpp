#include "ui/RecordingCanvas.h"

#include <algorithm>
#include <cstdlib>

int TRecordingCanvas::CharWidth(const TFont& font) {
  return std::max(1, (std::abs(font.Height) + 1) / 2) + ((font.Style & fsBold) ? 1 : 0);
}

int TRecordingCanvas::LineHeight(const TFont& font) { return std::max(1, std::abs(font.Height)); }

TCanvasOp TRecordingCanvas::Record(TCanvasOpKind kind) const {
  TCanvasOp op;
  op.Kind = kind;
  op.Brush = Brush;
  op.Pen = Pen;
  op.Font = Font;
  return op;
}

void TRecordingCanvas::FillRect(const TRect& rect) {
  TCanvasOp op = Record(TCanvasOpKind::FillRect);
  op.Rect = rect;
  Ops.push_back(std::move(op));
}

void TRecordingCanvas::MoveTo(int x, int y) { penPos_ = {x, y}; }

void TRecordingCanvas::LineTo(int x, int y) {
  TCanvasOp op = Record(TCanvasOpKind::LineTo);
  op.From = penPos_;
  op.To = {x, y};
  Ops.push_back(std::move(op));
  penPos_ = {x, y};
}

void TRecordingCanvas::Rectangle(const TRect& rect) {
  TCanvasOp op = Record(TCanvasOpKind::Rectangle);
  op.Rect = rect;
  Ops.push_back(std::move(op));
}

void TRecordingCanvas::RoundRect(const TRect& rect, int ellipseWidth, int ellipseHeight) {
  TCanvasOp op = Record(TCanvasOpKind::RoundRect);
  op.Rect = rect;
  op.EllipseWidth = ellipseWidth;
  op.EllipseHeight = ellipseHeight;
  Ops.push_back(std::move(op));
}

TPoint TRecordingCanvas::TextExtent(const std::string& text) {
  return {static_cast<int>(text.size()) * CharWidth(Font), LineHeight(Font)};
}

int TRecordingCanvas::DrawText(const std::string& text, TRect& rect, unsigned format) {
  const int cw = CharWidth(Font);
  const auto measure = [cw](const std::string& s) { return static_cast<int>(s.size()) * cw; };
  std::vector<TTextLine> lines = LayoutText(text, rect, format, LineHeight(Font), measure);
  const int height = static_cast<int>(lines.size()) * LineHeight(Font);
  if (format & dtCalcRect) {
    int width = 0;
    for (const TTextLine& line : lines) width = std::max(width, line.Width);
    rect.Right = rect.Left + width;
    rect.Bottom = rect.Top + height;
    return height;
  }
  TCanvasOp op = Record(TCanvasOpKind::Text);
  op.Rect = rect;
  op.Text = text;
  op.Format = format;
  op.Lines = std::move(lines);
  Ops.push_back(std::move(op));
  return height;
}

void TRecordingCanvas::Draw(int x, int y, const TBitmap& bitmap) {
  TCanvasOp op = Record(TCanvasOpKind::Draw);
  op.Rect = {x, y, x + bitmap.Width(), y + bitmap.Height()};
  op.BitmapWidth = bitmap.Width();
  op.BitmapHeight = bitmap.Height();
  Ops.push_back(std::move(op));
}

void TRecordingCanvas::DrawTransparent(int x, int y, const TBitmap& bitmap, TColor transparentColor) {
  TCanvasOp op = Record(TCanvasOpKind::DrawTransparent);
  op.Rect = {x, y, x + bitmap.Width(), y + bitmap.Height()};
  op.BitmapWidth = bitmap.Width();
  op.BitmapHeight = bitmap.Height();
  op.TransparentColor = transparentColor;
  Ops.push_back(std::move(op));
}

void TRecordingCanvas::StretchDraw(const TRect& rect, const TBitmap& bitmap) {
  TCanvasOp op = Record(TCanvasOpKind::StretchDraw);
  op.Rect = rect;
  op.BitmapWidth = bitmap.Width();
  op.BitmapHeight = bitmap.Height();
  Ops.push_back(std::move(op));
}

std::vector<TCanvasOp> TRecordingCanvas::OpsOf(TCanvasOpKind kind) const {
  std::vector<TCanvasOp> result;
  std::copy_if(Ops.begin(), Ops.end(), std::back_inserter(result), [kind](const TCanvasOp& op) { return op.Kind == kind; });
  return result;
}

std::vector<std::string> TRecordingCanvas::TextLines() const {
  std::vector<std::string> result;
  for (const TCanvasOp& op : Ops)
    for (const TTextLine& line : op.Lines) result.push_back(line.Text);
  return result;
}
