#include "widgets/LbButtonPaint.h"

#include <algorithm>

namespace {

constexpr int kGradientBands = 32;
constexpr TColor kDisabledCaption = RGB(128, 128, 128);

uint8_t GradientChannel(uint8_t from, uint8_t to, int band) {
  // Multiplying before dividing keeps the last band exactly on the target
  // colour; adding the step 31 times could fall a hair short of it.
  const double value = from + static_cast<double>(to - from) * band / (kGradientBands - 1);
  return static_cast<uint8_t>(static_cast<int>(value));
}

uint8_t BlendChannel(uint8_t color, uint8_t hot, double t) {
  return static_cast<uint8_t>(static_cast<int>(color * (1.0 - t) + hot * t));
}

// One face being painted, with what its looks and state come to.
struct TFace {
  const TLbButtonLooks& Looks;
  const TLbPaintState& State;
  TLbFaceKind Kind;
  bool Down;  // as shown
};

TColor FaceColor(const TFace& f) {
  TColor face = ColorToRGB(f.State.Color);
  if (f.State.Enabled && f.Looks.HotTrackColor != clNone)
    face = BlendHotColor(f.State.FadeStep, f.State.Color, f.Looks.HotTrackColor);
  if (f.Down && f.Looks.ColorWhenDown != clNone) face = f.Looks.ColorWhenDown;
  return face;
}

void PaintBackground(TCanvas& canvas, const TFace& f, TColor face) {
  const int w = f.State.Width;
  const int h = f.State.Height;
  const TRect whole{-1, -1, w + 1, h + 1};
  canvas.Brush.Style = TBrushStyle::Solid;
  if (f.Kind == TLbFaceKind::Shape) {
    canvas.Brush.Color = clFuchsia;
    canvas.FillRect(whole);
  } else if (!f.Looks.Transparent) {
    canvas.Brush.Color = face;
    if (f.Kind == TLbFaceKind::Flat || f.Kind == TLbFaceKind::Classic) {
      canvas.FillRect(whole);
    } else if (f.Kind == TLbFaceKind::Gradient) {
      const int split = h / 4 + PressOffset(f.Looks, f.State);
      FillGradient(canvas, f.Looks.LightColor, face, {2, 2, w - 2, split});
      FillGradient(canvas, face, f.Looks.LightColor, {2, split, w - 2, h - 1});
    }
  }
  canvas.Brush.Style = TBrushStyle::Clear;
}

// The top and left edges in one colour, then the right and bottom ones in
// the other, the bottom drawn leftwards up to bottomEnd.
void PaintEdges(TCanvas& canvas, int w, int h, TColor topLeft, TColor bottomRight, int bottomEnd) {
  canvas.Pen.Color = topLeft;
  canvas.MoveTo(0, h - 1);
  canvas.LineTo(0, 0);
  canvas.LineTo(w - 1, 0);
  canvas.Pen.Color = bottomRight;
  canvas.LineTo(w - 1, h - 1);
  canvas.LineTo(bottomEnd, h - 1);
}

void PaintFrameLines(TCanvas& canvas, const TFace& f) {
  const int w = f.State.Width;
  const int h = f.State.Height;
  const TColor light = f.Looks.LightColor;
  const TColor shadow = f.Looks.ShadowColor;
  canvas.Pen.Style = TPenStyle::Solid;
  if (f.Kind != TLbFaceKind::Classic) {
    PaintEdges(canvas, w, h, f.Down ? shadow : light, f.Down ? light : shadow, 0);
    return;
  }
  // The classic frame: the shadow inside, the system's dark shadow outside.
  canvas.Pen.Color = shadow;
  if (f.Down) {
    canvas.MoveTo(1, h - 3);
    canvas.LineTo(1, 1);
    canvas.LineTo(w - 2, 1);
  } else {
    canvas.MoveTo(w - 2, 0);
    canvas.LineTo(w - 2, h - 2);
    canvas.LineTo(0, h - 2);
  }
  PaintEdges(canvas, w, h, f.Down ? cl3DDkShadow : light, f.Down ? light : cl3DDkShadow, -1);
}

void PaintFrame(TCanvas& canvas, const TFace& f, TColor face) {
  const int w = f.State.Width;
  const int h = f.State.Height;
  const bool enabled = f.State.Enabled;
  const bool flat = f.Looks.Flat;
  switch (f.Kind) {
    case TLbFaceKind::Flat:
    case TLbFaceKind::Classic:
      if ((enabled && (!flat || f.State.Hot || f.Down)) || (!enabled && !flat)) PaintFrameLines(canvas, f);
      break;
    case TLbFaceKind::Gradient:
      canvas.Pen.Style = TPenStyle::Solid;
      canvas.Pen.Color = f.Down ? f.Looks.ShadowColor : face;
      canvas.Rectangle({1, 1, w - 1, h - 1});
      canvas.Pen.Color = f.Looks.ShadowColor;
      canvas.RoundRect({0, 0, w, h}, 6, 6);
      break;
    case TLbFaceKind::Rounded:
      canvas.Brush.Style = TBrushStyle::Solid;
      canvas.Brush.Color = face;
      canvas.Pen.Style = TPenStyle::Clear;
      canvas.RoundRect({0, 1, w, h}, 4, 4);
      canvas.Brush.Style = TBrushStyle::Clear;
      canvas.Pen.Style = TPenStyle::Solid;
      canvas.Pen.Color = f.Looks.ShadowColor;
      canvas.MoveTo(4, 0);
      canvas.LineTo(w - 5, 0);
      canvas.MoveTo(4, h - 1);
      canvas.LineTo(w - 5, h - 1);
      break;
    case TLbFaceKind::Shape:
      break;
  }
}

// In the face's font, which DrawButtonFace has set.
void PaintCaption(TCanvas& canvas, const TFace& f, const TLbFaceLayout& layout) {
  // The shape face keeps its caption's colour when disabled.
  if (!f.State.Enabled && f.Kind != TLbFaceKind::Shape) canvas.Font.Color = kDisabledCaption;
  TRect r = layout.CaptionRect;
  canvas.DrawText(layout.Caption, r, layout.CaptionFormat);
}

void PaintGlyph(TCanvas& canvas, const TFace& f, const TLbFaceLayout& layout) {
  const TRect& r = layout.GlyphRect;
  const int cell = GlyphCellIndex(f.Looks.GlyphCells, f.State.Enabled, f.Down, f.State.Hot);
  DrawGlyphCell(canvas, f.Looks.Glyph, r.Left, r.Top, cell * r.Width(), r.Height(), r.Width(), 0);
}

void PaintMenuArrow(TCanvas& canvas, const TFace& f) {
  const TBitmap& arrow = LbArrowBitmap();
  canvas.DrawTransparent(f.State.Width - 11, f.State.Height / 2 - 1, arrow,
                         arrow.Pixel(0, arrow.Height() - 1));
}

}  // namespace

int TLbCanvasTextMeasure::Width(const std::string& text) { return canvas_.TextWidth(text); }

TPoint TLbCanvasTextMeasure::WrappedSize(const std::string& text, int width) {
  TRect measure{0, 0, width, 0};
  canvas_.DrawText(text, measure, dtCalcRect | dtWordBreak);
  return {measure.Width(), measure.Height()};
}

void DrawButtonFace(TCanvas& canvas, const TLbButtonLooks& looks, const TLbPaintState& state) {
  const TFace f{looks, state, FaceKindOf(looks.Style), ShownDown(looks, state)};
  const TColor face = FaceColor(f);
  PaintBackground(canvas, f, face);
  PaintFrame(canvas, f, face);
  canvas.Font = FaceFont(looks, state);
  TLbCanvasTextMeasure measure(canvas);
  const TLbFaceLayout layout = LayoutButtonFace(looks, state, measure);
  // The shape face puts its caption over its glyph; the others the glyph
  // over the caption.
  if (f.Kind == TLbFaceKind::Shape) {
    PaintGlyph(canvas, f, layout);
    PaintCaption(canvas, f, layout);
  } else {
    PaintCaption(canvas, f, layout);
    PaintGlyph(canvas, f, layout);
  }
  if (state.HasMenu) PaintMenuArrow(canvas, f);
}

void FillGradient(TCanvas& canvas, TColor fromColor, TColor toColor, const TRect& rect) {
  const TColor from = ColorToRGB(fromColor);
  const TColor to = ColorToRGB(toColor);
  const int h = rect.Bottom - rect.Top;
  const TPenStyle savedPen = canvas.Pen.Style;
  canvas.Pen.Style = TPenStyle::Clear;
  for (int band = 0; band < kGradientBands; ++band) {
    TRect r{rect.Left, rect.Top + band * h / (kGradientBands - 1), rect.Right, 0};
    r.Bottom = std::min(r.Top + h / (kGradientBands - 1) + 1, rect.Bottom);
    if (r.Bottom <= r.Top || r.Right <= r.Left) continue;
    canvas.Brush.Color = RGB(GradientChannel(GetRValue(from), GetRValue(to), band),
                             GradientChannel(GetGValue(from), GetGValue(to), band),
                             GradientChannel(GetBValue(from), GetBValue(to), band));
    canvas.FillRect(r);
  }
  canvas.Pen.Style = savedPen;
}

TColor BlendHotColor(int fadeStep, TColor color, TColor hotTrackColor) {
  const double t = std::clamp(fadeStep, 0, 8) / 8.0;
  const TColor c = ColorToRGB(color);
  const TColor hot = ColorToRGB(hotTrackColor);
  return RGB(BlendChannel(GetRValue(c), GetRValue(hot), t),
             BlendChannel(GetGValue(c), GetGValue(hot), t),
             BlendChannel(GetBValue(c), GetBValue(hot), t));
}

void DrawGlyphCell(TCanvas& canvas, const TBitmap& glyph, int x, int y, int sourceX,
                   int cellHeight, int cellWidth, int sourceY) {
  // Start from the strip's top-left corner, the first cell, and copy the
  // wanted cell over it; whatever of the cell lies outside the strip leaves
  // the first cell showing.
  TBitmap cell = glyph;
  cell.SetSize(cellWidth, cellHeight);
  if (cell.Empty()) return;
  for (int row = 0; row < cell.Height(); ++row)
    for (int col = 0; col < cell.Width(); ++col) {
      const TColor source = glyph.Pixel(col + sourceX, row + sourceY);
      if (source != clNone) cell.SetPixel(col, row, source);
    }
  canvas.DrawTransparent(x, y, cell, cell.Pixel(0, cell.Height() - 1));
}

const TBitmap& LbArrowBitmap() {
  static const TBitmap arrow = [] {
    TBitmap b(5, 3, clWhite);
    for (int x = 0; x < 5; ++x) b.SetPixel(x, 0, clBlack);
    for (int x = 1; x < 4; ++x) b.SetPixel(x, 1, clBlack);
    b.SetPixel(2, 2, clBlack);
    return b;
  }();
  return arrow;
}
