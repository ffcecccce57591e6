#pragma once
// Everything the speed button needs besides the control itself: the painter
// of a complete button face, its companions (gradient, hot-track blend,
// glyph-cell copier), the colour presets and the fade thread. The painter
// draws only through TCanvas, so faces are checked natively against a
// canvas that records what it is told.

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "ui/Graphics.h"
#include "ui/StdCtrls.h"

// The looks a speed button can take; bsNormal and bsModern share the
// gradient face.
enum TLbSpeedButtonStyle : uint8_t { bsNormal, bsEncarta, bsModern, bsOld, bsShape, bsQuicken };

// Where the glyph stands relative to the caption.
enum TLbSpeedButtonLayout : uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// Colour presets, in declaration order.
enum TLbColorStyle : uint8_t {
  lcsCustom,
  lcsGold,
  lcsChrome,
  lcsBlue,
  lcsRed,
  lcsUltraFlat1,
  lcsUltraFlat2,
  lcsUltraFlatXP,
  lcsAqua,
  lcsDefault,
  lcsQuicken,
};

// The painter does not look at the button's style but at the face it gives.
enum class TLbFaceKind : uint8_t {
  Flat = 1,      // bsEncarta: a thin frame, bold caption while pressed
  Gradient = 2,  // bsNormal, bsModern
  Classic = 3,   // bsOld: the three-dimensional frame
  Shape = 4,     // bsShape: fuchsia background, everything centred
  Rounded = 5,   // bsQuicken
};

TLbFaceKind FaceKindOf(TLbSpeedButtonStyle style);

// What one face needs, besides the canvas it is painted on.
struct TLbButtonFace {
  int Width = 0;
  int Height = 0;
  int FadeStep = 0;    // 0 to 8: weight of the hot-track colour in eighths
  int GlyphCells = 0;  // images side by side in Glyph; 0 shows none
  const TBitmap* Glyph = nullptr;
  bool Down = false;
  bool Hot = false;
  bool Transparent = false;
  bool Enabled = true;
  bool Flat = false;
  bool WordWrap = false;
  bool HasMenu = false;
  TLbFaceKind FaceKind = TLbFaceKind::Gradient;
  TColor Color = clBtnFace;
  TColor ColorWhenDown = clNone;
  TColor HotTrackColor = clNone;
  TColor LightColor = clWhite;
  TColor ShadowColor = clBlack;
  TFont Font;
  TLbSpeedButtonLayout Layout = blGlyphLeft;
  std::string Caption;
  TAlignment Alignment = TAlignment::taLeftJustify;
};

// Where a face puts its caption and its glyph cell.
struct TLbFaceLayout {
  std::string Caption;  // cut from the right to fit, unless word-wrapped
  TRect CaptionRect;
  unsigned CaptionFormat = 0;
  TRect GlyphRect;  // the cell shown; empty without a glyph
};

// Measures the caption on canvas, in the face's font, which it sets there
// (bold while a flat face is pressed); draws nothing.
TLbFaceLayout LayoutButtonFace(TCanvas& canvas, const TLbButtonFace& face);

// Background, frame, caption, glyph and the menu arrow, as the layout places them.
void DrawButtonFace(TCanvas& canvas, const TLbButtonFace& face);

// A vertical gradient in 32 bands from the top colour to the bottom colour.
void FillGradient(TCanvas& canvas, TColor fromColor, TColor toColor, const TRect& rect);

// The face colour fadeStep eighths of the way from color to hotTrackColor.
TColor BlendHotColor(int fadeStep, TColor color, TColor hotTrackColor);

// Which image of the glyph strip a button in this state shows.
int GlyphCellIndex(int glyphCells, bool enabled, bool down, bool hot);

// Copies one cell of the glyph strip onto the canvas at (x, y); the colour of
// the cell's bottom-left pixel is left out. A cell beyond the strip shows the
// first one.
void DrawGlyphCell(TCanvas& canvas, const TBitmap& glyph, int x, int y, int sourceX,
                   int cellHeight, int cellWidth, int sourceY);

// The 5 x 3 drop-down arrow, black on white; white is drawn transparent.
const TBitmap& LbArrowBitmap();

// The values a colour preset gives a button.
struct TLbColorStyleValues {
  TColor Color;
  TColor LightColor;
  TColor ShadowColor;
  TColor ColorWhenDown;
  TColor HotTrackColor;
  bool Flat;
  TLbSpeedButtonStyle Style;
  TColor FontColor;
};

// Nothing for lcsCustom, which keeps whatever the button has.
std::optional<TLbColorStyleValues> ApplyColorStyle(TLbColorStyle style);

// The worker behind a button's slow fade. It never touches the button: every
// 30 ms it has the tick run on the main thread and waits until it has run.
// It starts paused; the tick pauses it when the fade is over, the button
// resumes it when the pointer leaves. Freeing it stops and joins the worker.
class TLbButtonThread {
 public:
  static constexpr std::chrono::milliseconds TickInterval{30};

  explicit TLbButtonThread(std::function<void()> tick);
  ~TLbButtonThread();
  TLbButtonThread(const TLbButtonThread&) = delete;
  TLbButtonThread& operator=(const TLbButtonThread&) = delete;

  bool Suspended() const;
  void Suspend();
  void Resume();
  // Asks the worker to end after the tick it may be running.
  void Terminate();
  // Waits until the worker has ended. On the main thread the ticks it has
  // already asked for are served meanwhile, so that neither waits for the other.
  void WaitFor();

 private:
  void Execute();

  std::function<void()> tick_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  bool suspended_ = true;
  bool terminated_ = false;
  bool finished_ = false;
  std::thread worker_;
};
