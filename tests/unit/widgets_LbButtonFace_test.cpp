#include "widgets/LbButtonFace.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Six pixels a character and one line eleven high, as the recording canvas
// measures the default font; good for captions that fit on one line.
class FixedWidthMeasure : public TLbTextMeasure {
 public:
  int Width(const std::string& text) override { return 6 * static_cast<int>(text.size()); }
  TPoint WrappedSize(const std::string& text, int) override { return {Width(text), 11}; }
};

TLbFaceLayout LayoutOf(const TLbButtonLooks& looks, const TLbPaintState& state) {
  FixedWidthMeasure measure;
  return LayoutButtonFace(looks, state, measure);
}

TEST(LbButtonFaceTest, CaptionAndGlyphPlacement) {
  // 100 x 40, two 16 x 16 cells, caption "OK" 12 x 11.
  struct Case {
    TLbSpeedButtonLayout layout;
    TAlignment alignment;
    bool down;
    TRect text;
    TPoint glyph;
    unsigned format;
  } cases[] = {
      {blGlyphLeft, TAlignment::taLeftJustify, false, {24, 14, 96, 25}, {4, 12}, dtWordBreak | dtLeft},
      {blGlyphLeft, TAlignment::taRightJustify, false, {24, 14, 96, 25}, {64, 12}, dtWordBreak | dtRight},
      {blGlyphLeft, TAlignment::taCenter, false, {24, 14, 96, 25}, {34, 12}, dtWordBreak | dtCenter},
      {blGlyphLeft, TAlignment::taCenter, true, {25, 15, 97, 26}, {35, 13}, dtWordBreak | dtCenter},
      {blGlyphRight, TAlignment::taLeftJustify, false, {4, 14, 76, 25}, {20, 12}, dtWordBreak | dtLeft},
      {blGlyphRight, TAlignment::taRightJustify, false, {4, 14, 76, 25}, {80, 12}, dtWordBreak | dtRight},
      {blGlyphRight, TAlignment::taCenter, false, {4, 14, 76, 25}, {50, 12}, dtWordBreak | dtCenter},
      {blGlyphTop, TAlignment::taCenter, false, {4, 20, 96, 31}, {42, 4}, dtWordBreak | dtCenter},
      {blGlyphTop, TAlignment::taRightJustify, true, {5, 21, 97, 32}, {81, 5}, dtWordBreak | dtRight},
      {blGlyphBottom, TAlignment::taLeftJustify, false, {4, 4, 96, 15}, {4, 15}, dtWordBreak | dtLeft},
  };
  TLbButtonLooks looks;
  looks.Glyph = TBitmap(32, 16, RGB(9, 9, 9));
  looks.GlyphCells = 2;
  TLbPaintState state;
  state.Width = 100;
  state.Height = 40;
  state.Caption = "OK";
  for (const Case& c : cases) {
    looks.Down = c.down;
    looks.Layout = c.layout;
    looks.Alignment = c.alignment;
    const TLbFaceLayout layout = LayoutOf(looks, state);
    const std::string label = "layout " + std::to_string(c.layout) + " alignment " +
                              std::to_string(static_cast<int>(c.alignment)) + " down " + std::to_string(c.down);
    EXPECT_EQ(layout.Caption, "OK") << label;
    EXPECT_EQ(layout.CaptionRect, c.text) << label;
    EXPECT_EQ(layout.GlyphRect, (TRect{c.glyph.X, c.glyph.Y, c.glyph.X + 16, c.glyph.Y + 16})) << label;
    EXPECT_EQ(layout.CaptionFormat, c.format) << label;
  }
}

TEST(LbButtonFaceTest, WordWrapKeepsTheGlyphBesideTheCaptionAtTheLeftEdge) {
  TLbButtonLooks looks;
  looks.Glyph = TBitmap(16, 16, RGB(9, 9, 9));
  looks.GlyphCells = 1;
  looks.Alignment = TAlignment::taRightJustify;
  looks.WordWrap = true;
  TLbPaintState state;
  state.Width = 100;
  state.Height = 40;
  state.Caption = "OK";
  EXPECT_EQ(LayoutOf(looks, state).GlyphRect, (TRect{4, 12, 20, 28}));
}

}  // namespace
