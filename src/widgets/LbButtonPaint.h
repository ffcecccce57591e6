#pragma once
// The painter of a complete speed-button face and its companions (gradient,
// hot-track blend, glyph-cell copier, menu arrow). It draws only through
// TCanvas, so faces are checked natively against a canvas that records what
// it is told.

#include <string>

#include "ui/Graphics.h"
#include "widgets/LbButtonFace.h"

// Measures in the canvas's current font.
class TLbCanvasTextMeasure : public TLbTextMeasure {
 public:
  explicit TLbCanvasTextMeasure(TCanvas& canvas) : canvas_(canvas) {}
  int Width(const std::string& text) override;
  TPoint WrappedSize(const std::string& text, int width) override;

 private:
  TCanvas& canvas_;
};

// Background, frame, caption, glyph and the menu arrow, as the layout places
// them; leaves the face's font on the canvas.
void DrawButtonFace(TCanvas& canvas, const TLbButtonLooks& looks, const TLbPaintState& state);

// A vertical gradient in 32 bands from the top colour to the bottom colour.
void FillGradient(TCanvas& canvas, TColor fromColor, TColor toColor, const TRect& rect);

// The face colour fadeStep eighths of the way from color to hotTrackColor.
TColor BlendHotColor(int fadeStep, TColor color, TColor hotTrackColor);

// Copies one cell of the glyph strip onto the canvas at (x, y); the colour of
// the cell's bottom-left pixel is left out. A cell beyond the strip shows the
// first one.
void DrawGlyphCell(TCanvas& canvas, const TBitmap& glyph, int x, int y, int sourceX,
                   int cellHeight, int cellWidth, int sourceY);

// The 5 x 3 drop-down arrow, black on white; white is drawn transparent.
const TBitmap& LbArrowBitmap();
