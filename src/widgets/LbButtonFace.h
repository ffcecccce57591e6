#pragma once
// What a speed button's face is made of, and where its caption and glyph go.
// The layout is arithmetic only: it measures text through TLbTextMeasure and
// never touches a canvas, so the painter and the tests give it what they
// measure with.

#include <cstdint>
#include <string>

#include "ui/Graphics.h"
#include "ui/StdCtrls.h"

// The looks a speed button can take; bsNormal and bsModern share the
// gradient face.
enum TLbSpeedButtonStyle : uint8_t { bsNormal, bsEncarta, bsModern, bsOld, bsShape, bsQuicken };

// Where the glyph stands relative to the caption.
enum TLbSpeedButtonLayout : uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// The painter does not look at the button's style but at the face it gives.
enum class TLbFaceKind : uint8_t {
  Flat = 1,      // bsEncarta: a thin frame, bold caption while pressed
  Gradient = 2,  // bsNormal, bsModern
  Classic = 3,   // bsOld: the three-dimensional frame
  Shape = 4,     // bsShape: fuchsia background, everything centred
  Rounded = 5,   // bsQuicken
};

TLbFaceKind FaceKindOf(TLbSpeedButtonStyle style);

// What the button's properties set.
struct TLbButtonLooks {
  TLbSpeedButtonStyle Style = bsNormal;
  TLbSpeedButtonLayout Layout = blGlyphLeft;
  TAlignment Alignment = TAlignment::taLeftJustify;
  TColor ColorWhenDown = clNone;
  TColor HotTrackColor = clNone;
  TColor LightColor = clWhite;
  TColor ShadowColor = clBlack;
  TBitmap Glyph;
  int GlyphCells = 0;  // images side by side in Glyph; 0 shows none
  bool Down = false;
  bool Flat = false;
  bool Transparent = false;
  bool WordWrap = false;
};

// What one paint takes from the control itself.
struct TLbPaintState {
  int Width = 0;
  int Height = 0;
  std::string Caption;
  TFont Font;
  TColor Color = clBtnFace;
  bool Enabled = true;
  bool Hot = false;
  int FadeStep = 0;  // 0 to 8: weight of the hot-track colour in eighths
  bool HasMenu = false;
};

// A disabled button is never drawn pressed.
bool ShownDown(const TLbButtonLooks& looks, const TLbPaintState& state);

// Caption and glyph move one pixel with the press, except on the flat face,
// which turns its caption bold instead.
int PressOffset(const TLbButtonLooks& looks, const TLbPaintState& state);

// The font the caption is measured and drawn in.
TFont FaceFont(const TLbButtonLooks& looks, const TLbPaintState& state);

// Text sizes in the font of the face.
class TLbTextMeasure {
 public:
  virtual ~TLbTextMeasure() = default;
  virtual int Width(const std::string& text) = 0;
  // The size of text broken at words to fit width.
  virtual TPoint WrappedSize(const std::string& text, int width) = 0;
};

// Where a face puts its caption and its glyph cell.
struct TLbFaceLayout {
  std::string Caption;  // cut from the right to fit, unless word-wrapped
  TRect CaptionRect;
  unsigned CaptionFormat = 0;
  TRect GlyphRect;  // the cell shown; empty without a glyph
};

TLbFaceLayout LayoutButtonFace(const TLbButtonLooks& looks, const TLbPaintState& state,
                               TLbTextMeasure& measure);

// Which image of the glyph strip a button in this state shows.
int GlyphCellIndex(int glyphCells, bool enabled, bool down, bool hot);
