#include "widgets/LbButtonFace.h"

#include <algorithm>

namespace {

// The gap between the face's edge, the glyph and the caption.
constexpr int kGap = 4;

// What every placement works from.
struct TFaceMetrics {
  int Width;
  int Height;
  int Offset;      // 1 while shown pressed
  int GlyphWidth;  // of one cell; 0 without a glyph
  int GlyphHeight;
};

unsigned TextFormatOf(TAlignment alignment) {
  switch (alignment) {
    case TAlignment::taRightJustify: return dtWordBreak | dtRight;
    case TAlignment::taCenter: return dtWordBreak | dtCenter;
    case TAlignment::taLeftJustify: break;
  }
  return dtWordBreak | dtLeft;
}

// Without word wrap a caption that is too wide loses characters from the
// right until it fits; then its size is taken as word-broken text of that width.
TPoint FitCaption(TLbTextMeasure& measure, std::string& caption, int available, bool wordWrap) {
  if (!wordWrap)
    while (!caption.empty() && measure.Width(caption) > available) caption.pop_back();
  return measure.WrappedSize(caption, available);
}

TRect GlyphAt(const TFaceMetrics& m, int glyphLeft, int glyphTop) {
  return {glyphLeft, glyphTop, glyphLeft + m.GlyphWidth, glyphTop + m.GlyphHeight};
}

// Where the glyph's left edge goes on its own, as the alignment has it.
int AlignedGlyphLeft(const TFaceMetrics& m, TAlignment alignment) {
  switch (alignment) {
    case TAlignment::taRightJustify: return m.Width - m.GlyphWidth - kGap + m.Offset;
    case TAlignment::taCenter: return (m.Width - m.GlyphWidth) / 2 + m.Offset;
    case TAlignment::taLeftJustify: break;
  }
  return m.Offset + kGap;
}

// The shape face centres both, the caption over the whole face.
void PlaceCentred(const TFaceMetrics& m, bool wordWrap, TLbTextMeasure& measure, TLbFaceLayout& layout) {
  const TPoint caption = FitCaption(measure, layout.Caption, std::max(m.Width - 2 * kGap, 0), wordWrap);
  const int captionTop = (m.Height - caption.Y) / 2 + m.Offset;
  layout.CaptionRect = {m.Offset, captionTop, m.Width, m.Height};
  layout.CaptionFormat = dtWordBreak | dtCenter;
  layout.GlyphRect = GlyphAt(m, (m.Width - m.GlyphWidth) / 2, (m.Height - m.GlyphHeight) / 2);
}

void PlaceGlyphBeside(const TFaceMetrics& m, const TLbButtonLooks& looks, TLbTextMeasure& measure,
                      TLbFaceLayout& layout) {
  const bool glyphFirst = looks.Layout == blGlyphLeft;
  const int glyphSpan = m.GlyphWidth > 0 ? m.GlyphWidth + kGap : 0;
  const int available = std::max(m.Width - 2 * kGap - glyphSpan, 0);
  const TPoint caption = FitCaption(measure, layout.Caption, available, looks.WordWrap);
  const int captionSpan = layout.Caption.empty() ? 0 : caption.X + kGap;
  const int captionLeft = m.Offset + kGap + (glyphFirst ? glyphSpan : 0);
  const int captionTop = (m.Height - caption.Y) / 2 + m.Offset;
  const int glyphTop = (m.Height - m.GlyphHeight) / 2 + m.Offset;
  int glyphLeft = glyphFirst ? m.Offset + kGap : captionLeft + captionSpan;
  // Aligned right or centred, the glyph keeps beside the caption's text as
  // it moves; a wrapped caption fills its width, so the glyph stays put.
  if (!looks.WordWrap) {
    if (looks.Alignment == TAlignment::taRightJustify)
      glyphLeft = AlignedGlyphLeft(m, looks.Alignment) - (glyphFirst ? captionSpan : 0);
    else if (looks.Alignment == TAlignment::taCenter)
      glyphLeft = AlignedGlyphLeft(m, looks.Alignment) + (glyphFirst ? -(captionSpan / 2) : captionSpan / 2);
  }
  layout.CaptionRect = {captionLeft, captionTop, captionLeft + available, captionTop + caption.Y};
  layout.GlyphRect = GlyphAt(m, glyphLeft, glyphTop);
}

void PlaceGlyphAboveOrBelow(const TFaceMetrics& m, const TLbButtonLooks& looks, TLbTextMeasure& measure,
                            TLbFaceLayout& layout) {
  const int available = std::max(m.Width - 2 * kGap, 0);
  const int captionHeight = FitCaption(measure, layout.Caption, available, looks.WordWrap).Y;
  const int blockHeight = captionHeight + (m.GlyphHeight > 0 ? m.GlyphHeight + kGap : 0);
  const int blockTop = (m.Height - blockHeight) / 2 + m.Offset;
  const bool glyphOnTop = looks.Layout == blGlyphTop;
  const int captionLeft = m.Offset + kGap;
  const int captionTop = glyphOnTop ? blockTop + m.GlyphHeight : blockTop;
  const int glyphTop = glyphOnTop ? blockTop : blockTop + captionHeight;
  layout.CaptionRect = {captionLeft, captionTop, captionLeft + available, captionTop + captionHeight};
  layout.GlyphRect = GlyphAt(m, AlignedGlyphLeft(m, looks.Alignment), glyphTop);
}

}  // namespace

TLbFaceKind FaceKindOf(TLbSpeedButtonStyle style) {
  switch (style) {
    case bsEncarta: return TLbFaceKind::Flat;
    case bsOld: return TLbFaceKind::Classic;
    case bsShape: return TLbFaceKind::Shape;
    case bsQuicken: return TLbFaceKind::Rounded;
    case bsNormal:
    case bsModern: break;
  }
  return TLbFaceKind::Gradient;
}

bool ShownDown(const TLbButtonLooks& looks, const TLbPaintState& state) { return looks.Down && state.Enabled; }

int PressOffset(const TLbButtonLooks& looks, const TLbPaintState& state) {
  return ShownDown(looks, state) && FaceKindOf(looks.Style) != TLbFaceKind::Flat ? 1 : 0;
}

TFont FaceFont(const TLbButtonLooks& looks, const TLbPaintState& state) {
  TFont font = state.Font;
  if (FaceKindOf(looks.Style) == TLbFaceKind::Flat && ShownDown(looks, state)) font.Style |= fsBold;
  return font;
}

TLbFaceLayout LayoutButtonFace(const TLbButtonLooks& looks, const TLbPaintState& state,
                               TLbTextMeasure& measure) {
  const TFaceMetrics metrics{state.Width, state.Height, PressOffset(looks, state),
                             looks.GlyphCells > 0 ? looks.Glyph.Width() / looks.GlyphCells : 0,
                             looks.Glyph.Height()};
  TLbFaceLayout layout;
  layout.Caption = state.Caption;
  if (FaceKindOf(looks.Style) == TLbFaceKind::Shape) {
    PlaceCentred(metrics, looks.WordWrap, measure, layout);
    return layout;
  }
  if (looks.Layout == blGlyphLeft || looks.Layout == blGlyphRight)
    PlaceGlyphBeside(metrics, looks, measure, layout);
  else
    PlaceGlyphAboveOrBelow(metrics, looks, measure, layout);
  layout.CaptionFormat = TextFormatOf(looks.Alignment);
  return layout;
}

int GlyphCellIndex(int glyphCells, bool enabled, bool down, bool hot) {
  if (!enabled) return 1;
  if (down && glyphCells > 2) return 2;
  if (hot && glyphCells > 3) return 3;
  return 0;
}
