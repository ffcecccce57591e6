#pragma once
// A canvas with no surface: it keeps every drawing call with the brush, pen
// and font in force at the time, and measures text with a simple fixed rule,
// so that what a control paints can be checked exactly.

#include <string>
#include <vector>

#include "ui/Graphics.h"
#include "ui/TextLayout.h"

enum class TCanvasOpKind { FillRect, LineTo, Rectangle, RoundRect, Text, Draw, DrawTransparent, StretchDraw };

struct TCanvasOp {
  TCanvasOpKind Kind = TCanvasOpKind::FillRect;
  TRect Rect;              // filled, outlined, text or stretch rectangle; bitmap placement
  TPoint From;             // LineTo: the pen position before the call
  TPoint To;               // LineTo: the end point
  int EllipseWidth = 0;    // RoundRect
  int EllipseHeight = 0;
  std::string Text;        // Text: as given
  unsigned Format = 0;     // Text
  std::vector<TTextLine> Lines;  // Text: laid out as it would show
  TColor TransparentColor = clNone;
  int BitmapWidth = 0;
  int BitmapHeight = 0;
  TBrush Brush;
  TPen Pen;
  TFont Font;
};

class TRecordingCanvas : public TCanvas {
 public:
  std::vector<TCanvasOp> Ops;

  // A character is half the font height wide, rounded up, one more when bold;
  // a line is the font height high.
  static int CharWidth(const TFont& font);
  static int LineHeight(const TFont& font);

  void FillRect(const TRect& rect) override;
  void MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void Rectangle(const TRect& rect) override;
  void RoundRect(const TRect& rect, int ellipseWidth, int ellipseHeight) override;
  TPoint TextExtent(const std::string& text) override;
  int DrawText(const std::string& text, TRect& rect, unsigned format) override;
  void Draw(int x, int y, const TBitmap& bitmap) override;
  void DrawTransparent(int x, int y, const TBitmap& bitmap, TColor transparentColor) override;
  void StretchDraw(const TRect& rect, const TBitmap& bitmap) override;

  TPoint PenPos() const { return penPos_; }
  // The operations of one kind, in order.
  std::vector<TCanvasOp> OpsOf(TCanvasOpKind kind) const;
  // Every line of text drawn, in order.
  std::vector<std::string> TextLines() const;

 private:
  TCanvasOp Record(TCanvasOpKind kind) const;
  TPoint penPos_;
};
