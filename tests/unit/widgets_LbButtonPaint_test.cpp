#include "widgets/LbButtonPaint.h"

#include <gtest/gtest.h>

#include <vector>

#include "ui/RecordingCanvas.h"

namespace {

// The library's recording canvas, keeping also the pictures drawn
// transparently, so that the glyph cell shown can be told apart.
class RecordingCanvas : public TRecordingCanvas {
 public:
  std::vector<TBitmap> Pictures;
  void DrawTransparent(int x, int y, const TBitmap& bitmap, TColor transparent) override {
    Pictures.push_back(bitmap);
    TRecordingCanvas::DrawTransparent(x, y, bitmap, transparent);
  }
};

TPoint At(const TCanvasOp& op) { return {op.Rect.Left, op.Rect.Top}; }

// The colour that the fills leave at a pixel, the last one on top; clNone
// where none reaches.
TColor FilledAt(const TRecordingCanvas& canvas, int x, int y) {
  TColor color = clNone;
  for (const TCanvasOp& op : canvas.OpsOf(TCanvasOpKind::FillRect))
    if (x >= op.Rect.Left && x < op.Rect.Right && y >= op.Rect.Top && y < op.Rect.Bottom)
      color = op.Brush.Color;
  return color;
}

// What the painter takes: the button's looks and the state of one paint.
struct Face {
  TLbButtonLooks looks;
  TLbPaintState state;
};

// A strip of `cells` images, 4 x 4 each, every cell filled with its own colour
// except a white bottom-left pixel, which the copier leaves out.
TBitmap GlyphStrip(int cells) {
  TBitmap strip(4 * cells, 4);
  for (int c = 0; c < cells; ++c)
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 4; ++x) strip.SetPixel(c * 4 + x, y, RGB(10 * (c + 1), 0, 0));
  for (int c = 0; c < cells; ++c) strip.SetPixel(c * 4, 3, clWhite);
  return strip;
}

Face SizedFace(TLbSpeedButtonStyle style, int width, int height) {
  Face f;
  f.looks.Style = style;
  f.state.Width = width;
  f.state.Height = height;
  return f;
}

Face GradientFace(int height, bool down) {
  Face f = SizedFace(bsNormal, 90, height);
  f.looks.Down = down;
  f.state.Color = RGB(0, 0, 128);
  f.looks.LightColor = RGB(0, 0, 255);
  f.looks.ShadowColor = RGB(0, 255, 0);
  return f;
}

TEST(LbButtonPaintTest, GradientFaceSplitsAtAQuarterOfTheHeight) {
  // The blue of rows 0 to 22 down the middle: light to face in rows 2 to 4,
  // face to light from row 5 (23 div 4) to 21; pressed, the split is a row lower.
  const std::vector<int> kUp = {-1,  -1,  214, 173, 132, 132, 140, 148, 156, 164, 168, 177,
                                185, 193, 201, 209, 214, 222, 230, 238, 246, 250, -1};
  const std::vector<int> kDown = {-1,  -1,  226, 193, 160, 132, 132, 140, 148, 156, 164, 173,
                                  181, 189, 197, 205, 214, 222, 230, 238, 246, 250, -1};
  for (bool down : {false, true}) {
    RecordingCanvas canvas;
    const Face f = GradientFace(23, down);
    DrawButtonFace(canvas, f.looks, f.state);
    std::vector<int> blue;
    for (int y = 0; y < 23; ++y) {
      const TColor c = FilledAt(canvas, 45, y);
      blue.push_back(c == clNone ? -1 : GetBValue(c));
      if (c != clNone) {
        EXPECT_EQ(c & 0xFFFF, 0u) << "row " << y;
      }
    }
    EXPECT_EQ(blue, down ? kDown : kUp);
    // Two pixels in from either side.
    EXPECT_EQ(FilledAt(canvas, 1, 10), clNone);
    EXPECT_NE(FilledAt(canvas, 2, 10), clNone);
    EXPECT_NE(FilledAt(canvas, 87, 10), clNone);
    EXPECT_EQ(FilledAt(canvas, 88, 10), clNone);
    for (const TCanvasOp& op : canvas.OpsOf(TCanvasOpKind::FillRect)) EXPECT_EQ(op.Pen.Style, TPenStyle::Clear);
  }
}

TEST(LbButtonPaintTest, FillGradientPaintsItsBandsAndRestoresThePen) {
  struct Case {
    TColor from, to;
    int band;
    TColor expected;
  } cases[] = {
      {clBlack, clWhite, 0, clBlack},
      {clBlack, clWhite, 1, RGB(8, 8, 8)},        // 255/31 = 8.2, truncated
      {clBlack, clWhite, 15, RGB(123, 123, 123)},  // 123.4
      {clBlack, clWhite, 30, RGB(246, 246, 246)},  // 246.8
      {clWhite, clBlack, 1, RGB(246, 246, 246)},
      {clWhite, clBlack, 30, RGB(8, 8, 8)},
      {RGB(10, 200, 31), RGB(41, 138, 0), 30, RGB(40, 140, 1)},
      {clBtnFace, clWhite, 0, RGB(212, 208, 200)},  // system colours resolved
  };
  for (const Case& c : cases) {
    RecordingCanvas canvas;
    canvas.Pen.Style = TPenStyle::Solid;
    FillGradient(canvas, c.from, c.to, {0, 10, 10, 72});
    const std::vector<TCanvasOp> fills = canvas.OpsOf(TCanvasOpKind::FillRect);
    ASSERT_EQ(fills.size(), 31u);
    EXPECT_EQ(fills[c.band].Brush.Color, c.expected) << "band " << c.band;
    EXPECT_EQ(canvas.Pen.Style, TPenStyle::Solid);
    // Band i starts at i*h div 31 and is h div 31 + 1 high, cut at the bottom.
    EXPECT_EQ(fills[1].Rect, (TRect{0, 12, 10, 15}));
    EXPECT_EQ(fills[30].Rect, (TRect{0, 70, 10, 72}));
  }
}

TEST(LbButtonPaintTest, FillGradientOfNoHeightPaintsNothing) {
  for (TRect r : {TRect{0, 5, 10, 5}, TRect{0, 5, 10, 2}, TRect{4, 0, 2, 10}}) {
    RecordingCanvas canvas;
    FillGradient(canvas, clBlack, clWhite, r);
    EXPECT_TRUE(canvas.Ops.empty());
  }
}

TEST(LbButtonPaintTest, BlendHotColorWeighsInEighths) {
  struct Case {
    int step;
    TColor color, hot, expected;
  } cases[] = {
      {4, clBlack, clWhite, RGB(127, 127, 127)},
      {0, RGB(1, 2, 3), clWhite, RGB(1, 2, 3)},
      {8, RGB(1, 2, 3), RGB(200, 100, 50), RGB(200, 100, 50)},
      {1, clWhite, clBlack, RGB(223, 223, 223)},  // 223.1
      {7, clBtnFace, clBlack, RGB(26, 26, 25)},   // 26.5, 26, 25
  };
  for (const Case& c : cases)
    EXPECT_EQ(BlendHotColor(c.step, c.color, c.hot), c.expected) << "step " << c.step;
}

TEST(LbButtonPaintTest, FaceShowsTheCellOfItsState) {
  struct Case {
    int cells;
    bool enabled, down, hot;
    int shownCell;
  } cases[] = {
      {4, true, false, true, 3},
      {4, true, true, true, 2},
      {4, false, false, false, 1},
      {1, false, false, false, 0},  // the wanted second cell does not exist
      {1, true, true, true, 0},
      {3, true, false, true, 0},  // no hot image among three
      {3, true, true, true, 2},
      {2, true, true, false, 0},  // no pressed image among two
  };
  for (const Case& c : cases) {
    const TBitmap strip = GlyphStrip(c.cells);
    Face f = GradientFace(23, c.down);
    f.state.Enabled = c.enabled;
    f.state.Hot = c.hot;
    f.looks.Glyph = strip;
    f.looks.GlyphCells = c.cells;
    f.state.Caption = "Go";
    RecordingCanvas canvas;
    DrawButtonFace(canvas, f.looks, f.state);
    const std::vector<TCanvasOp> drawn = canvas.OpsOf(TCanvasOpKind::DrawTransparent);
    ASSERT_EQ(drawn.size(), 1u);
    const TCanvasOp& op = drawn[0];
    const TBitmap& cell = canvas.Pictures.at(0);
    ASSERT_EQ(cell.Width(), 4);
    ASSERT_EQ(cell.Height(), 4);
    EXPECT_EQ(cell.Pixel(2, 1), RGB(10 * (c.shownCell + 1), 0, 0)) << c.cells << " cells";
    EXPECT_EQ(op.TransparentColor, clWhite);
    const std::vector<TCanvasOp> text = canvas.OpsOf(TCanvasOpKind::Text);
    ASSERT_EQ(text.size(), 1u);
    if (!c.enabled) {
      EXPECT_EQ(text[0].Font.Color, RGB(128, 128, 128));
    }
  }
}

TEST(LbButtonPaintTest, GlyphCellPartlyBeyondTheStripKeepsTheFirstCellThere) {
  TBitmap strip(6, 2, RGB(1, 1, 1));
  for (int y = 0; y < 2; ++y) {
    strip.SetPixel(4, y, RGB(2, 2, 2));
    strip.SetPixel(5, y, RGB(3, 3, 3));
  }
  RecordingCanvas canvas;
  DrawGlyphCell(canvas, strip, 7, 8, 4, 2, 4, 0);
  ASSERT_EQ(canvas.Ops.size(), 1u);
  const TBitmap& cell = canvas.Pictures.at(0);
  EXPECT_EQ(At(canvas.Ops[0]), (TPoint{7, 8}));
  EXPECT_EQ(cell.Pixel(0, 0), RGB(2, 2, 2));
  EXPECT_EQ(cell.Pixel(1, 1), RGB(3, 3, 3));
  EXPECT_EQ(cell.Pixel(2, 0), RGB(1, 1, 1));
  EXPECT_EQ(canvas.Ops[0].TransparentColor, RGB(2, 2, 2));
}

TEST(LbButtonPaintTest, CaptionIsCutFromTheRightUnlessWordWrapped) {
  struct Case {
    bool wordWrap;
    std::string drawn;
    std::vector<std::string> lines;
  } cases[] = {
      {false, "Very l", {"Very l"}},  // 6 characters of 6 pixels fill the 36
      {true, "Very long caption", {"Very", "long", "caption"}},
  };
  for (const Case& c : cases) {
    Face f = GradientFace(50, false);
    f.state.Width = 44;
    f.state.Caption = "Very long caption";
    f.looks.WordWrap = c.wordWrap;
    RecordingCanvas canvas;
    DrawButtonFace(canvas, f.looks, f.state);
    const std::vector<TCanvasOp> text = canvas.OpsOf(TCanvasOpKind::Text);
    ASSERT_EQ(text.size(), 1u);
    EXPECT_EQ(text[0].Text, c.drawn);
    const int height = 11 * static_cast<int>(c.lines.size());
    EXPECT_EQ(text[0].Rect, (TRect{4, (50 - height) / 2, 40, (50 - height) / 2 + height}));
    EXPECT_EQ(canvas.TextLines(), c.lines);
    EXPECT_EQ(text[0].Format, unsigned{dtWordBreak | dtLeft});
  }
}

TEST(LbButtonPaintTest, ShapeFaceIsFuchsiaAndCentred) {
  const TBitmap strip(20, 10, RGB(9, 9, 9));
  for (bool enabled : {true, false}) {
    Face f = SizedFace(bsShape, 60, 30);
    f.looks.Transparent = true;
    f.state.Enabled = enabled;
    f.looks.Glyph = strip;
    f.looks.GlyphCells = 2;
    f.looks.Layout = blGlyphBottom;
    f.looks.Alignment = TAlignment::taLeftJustify;
    f.state.Caption = "Shape";
    f.state.Font.Color = clBlue;
    RecordingCanvas canvas;
    DrawButtonFace(canvas, f.looks, f.state);
    ASSERT_FALSE(canvas.Ops.empty());
    EXPECT_EQ(canvas.Ops[0].Kind, TCanvasOpKind::FillRect);
    EXPECT_EQ(canvas.Ops[0].Rect, (TRect{-1, -1, 61, 31}));
    EXPECT_EQ(canvas.Ops[0].Brush.Color, clFuchsia);
    const std::vector<TCanvasOp> text = canvas.OpsOf(TCanvasOpKind::Text);
    ASSERT_EQ(text.size(), 1u);
    EXPECT_EQ(text[0].Rect, (TRect{0, 9, 60, 30}));
    EXPECT_EQ(text[0].Format, unsigned{dtWordBreak | dtCenter});
    EXPECT_EQ(text[0].Font.Color, clBlue) << "a shape caption keeps its colour when disabled";
    EXPECT_EQ(At(canvas.OpsOf(TCanvasOpKind::DrawTransparent).at(0)), (TPoint{25, 10}));
  }
}

struct FrameLine {
  TPoint to;
  TColor color;
};

std::vector<FrameLine> FrameLines(const RecordingCanvas& canvas) {
  std::vector<FrameLine> lines;
  for (const TCanvasOp& op : canvas.Ops)
    if (op.Kind == TCanvasOpKind::LineTo) lines.push_back({op.To, op.Pen.Color});
  return lines;
}

TEST(LbButtonPaintTest, ClassicFrameSwapsItsColoursWhenPressed) {
  Face f = SizedFace(bsOld, 50, 20);
  f.looks.LightColor = clWhite;
  f.looks.ShadowColor = clGray;
  RecordingCanvas up;
  DrawButtonFace(up, f.looks, f.state);
  f.looks.Down = true;
  RecordingCanvas down;
  DrawButtonFace(down, f.looks, f.state);

  const std::vector<FrameLine> upLines = FrameLines(up);
  ASSERT_EQ(upLines.size(), 6u);
  EXPECT_EQ(upLines[0].to, (TPoint{48, 18}));
  EXPECT_EQ(upLines[1].to, (TPoint{0, 18}));
  EXPECT_EQ(upLines[0].color, clGray);
  EXPECT_EQ(upLines[2].color, clWhite);
  EXPECT_EQ(upLines[5].to, (TPoint{-1, 19}));
  EXPECT_EQ(upLines[5].color, cl3DDkShadow);

  const std::vector<FrameLine> downLines = FrameLines(down);
  ASSERT_EQ(downLines.size(), 6u);
  EXPECT_EQ(downLines[0].to, (TPoint{1, 1}));
  EXPECT_EQ(downLines[1].to, (TPoint{48, 1}));
  EXPECT_EQ(downLines[2].color, cl3DDkShadow);
  EXPECT_EQ(downLines[5].color, clWhite);
  // The caption moves one pixel with the press.
  EXPECT_EQ(down.OpsOf(TCanvasOpKind::Text).at(0).Rect.Left,
            up.OpsOf(TCanvasOpKind::Text).at(0).Rect.Left + 1);
}

TEST(LbButtonPaintTest, FlatFramedFaceDrawsItsFrameOnlyWhenItShould) {
  struct Case {
    bool enabled, flat, hot, down, framed;
  } cases[] = {
      {true, false, false, false, true}, {true, true, false, false, false},
      {true, true, true, false, true},   {true, true, false, true, true},
      {false, false, false, false, true}, {false, true, true, true, false},
  };
  for (TLbSpeedButtonStyle style : {bsEncarta, bsOld})
    for (const Case& c : cases) {
      Face f = SizedFace(style, 50, 20);
      f.state.Enabled = c.enabled;
      f.looks.Flat = c.flat;
      f.state.Hot = c.hot;
      f.looks.Down = c.down;
      RecordingCanvas canvas;
      DrawButtonFace(canvas, f.looks, f.state);
      EXPECT_EQ(!FrameLines(canvas).empty(), c.framed)
          << "style " << int(style) << " " << c.enabled << c.flat << c.hot << c.down;
    }
}

TEST(LbButtonPaintTest, FlatFramedFacePressedIsBoldWithoutMoving) {
  Face f = SizedFace(bsEncarta, 50, 20);
  f.state.Caption = "Go";
  f.looks.Down = true;
  f.looks.LightColor = clWhite;
  f.looks.ShadowColor = clGray;
  RecordingCanvas canvas;
  DrawButtonFace(canvas, f.looks, f.state);
  const TCanvasOp text = canvas.OpsOf(TCanvasOpKind::Text).at(0);
  EXPECT_TRUE(text.Font.Style & fsBold);
  EXPECT_EQ(text.Rect.Left, 4);
  const std::vector<FrameLine> lines = FrameLines(canvas);
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].color, clGray);
  EXPECT_EQ(lines[3].color, clWhite);
  EXPECT_EQ(lines[3].to, (TPoint{0, 19}));
}

TEST(LbButtonPaintTest, RoundedFaceIsFilledWithoutOutline) {
  Face f = SizedFace(bsQuicken, 50, 20);
  f.looks.Transparent = true;
  f.state.Color = RGB(0, 48, 96);
  f.looks.ShadowColor = clSilver;
  RecordingCanvas canvas;
  DrawButtonFace(canvas, f.looks, f.state);
  const std::vector<TCanvasOp> round = canvas.OpsOf(TCanvasOpKind::RoundRect);
  ASSERT_EQ(round.size(), 1u);
  EXPECT_EQ(round[0].Rect, (TRect{0, 1, 50, 20}));
  EXPECT_EQ(round[0].EllipseWidth, 4);
  EXPECT_EQ(round[0].EllipseHeight, 4);
  EXPECT_EQ(round[0].Brush.Color, RGB(0, 48, 96));
  EXPECT_EQ(round[0].Brush.Style, TBrushStyle::Solid);
  EXPECT_EQ(round[0].Pen.Style, TPenStyle::Clear);
  const std::vector<FrameLine> lines = FrameLines(canvas);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].to, (TPoint{45, 0}));
  EXPECT_EQ(lines[1].to, (TPoint{45, 19}));
  EXPECT_EQ(lines[1].color, clSilver);
}

TEST(LbButtonPaintTest, FaceColourFollowsHotTrackAndPress) {
  struct Case {
    bool enabled, down;
    int fade;
    TColor hot, whenDown, expected;
  } cases[] = {
      {true, false, 0, clWhite, clNone, clBlack},
      {true, false, 4, clWhite, clNone, RGB(127, 127, 127)},
      {true, true, 8, clWhite, clBtnShadow, clBtnShadow},  // used as it stands
      {false, true, 8, clWhite, clRed, clBlack},           // disabled: neither hot nor down
  };
  for (const Case& c : cases) {
    Face f = SizedFace(bsEncarta, 50, 20);
    f.state.Color = clBlack;
    f.state.Enabled = c.enabled;
    f.looks.Down = c.down;
    f.state.FadeStep = c.fade;
    f.looks.HotTrackColor = c.hot;
    f.looks.ColorWhenDown = c.whenDown;
    RecordingCanvas canvas;
    DrawButtonFace(canvas, f.looks, f.state);
    const TCanvasOp fill = canvas.OpsOf(TCanvasOpKind::FillRect).at(0);
    EXPECT_EQ(fill.Rect, (TRect{-1, -1, 51, 21}));
    EXPECT_EQ(fill.Brush.Color, c.expected) << "fade " << c.fade << " down " << c.down;
  }
}

TEST(LbButtonPaintTest, TransparentFaceLeavesTheBackground) {
  Face f = GradientFace(23, false);
  f.looks.Transparent = true;
  RecordingCanvas canvas;
  DrawButtonFace(canvas, f.looks, f.state);
  EXPECT_TRUE(canvas.OpsOf(TCanvasOpKind::FillRect).empty());
  const std::vector<TCanvasOp> outline = canvas.OpsOf(TCanvasOpKind::Rectangle);
  ASSERT_EQ(outline.size(), 1u);
  EXPECT_EQ(outline[0].Brush.Style, TBrushStyle::Clear);
  EXPECT_EQ(outline[0].Rect, (TRect{1, 1, 89, 22}));
}

TEST(LbButtonPaintTest, MenuArrowIsFiveByThreeAtTheRight) {
  const TBitmap& arrow = LbArrowBitmap();
  ASSERT_EQ(arrow.Width(), 5);
  ASSERT_EQ(arrow.Height(), 3);
  const char* rows[] = {"#####", ".###.", "..#.."};
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x)
      EXPECT_EQ(arrow.Pixel(x, y), rows[y][x] == '#' ? clBlack : clWhite) << x << "," << y;

  Face f = GradientFace(23, false);
  f.state.HasMenu = true;
  RecordingCanvas canvas;
  DrawButtonFace(canvas, f.looks, f.state);
  const std::vector<TCanvasOp> drawn = canvas.OpsOf(TCanvasOpKind::DrawTransparent);
  ASSERT_EQ(drawn.size(), 1u);
  EXPECT_EQ(At(drawn[0]), (TPoint{79, 10}));
  EXPECT_EQ(drawn[0].TransparentColor, clWhite);
}

}  // namespace
