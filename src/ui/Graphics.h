#pragma once
// The drawing vocabulary shared by the controls, the button faces and both
// UI backends: colours as Windows colour values (0x00BBGGRR), fonts, bitmaps
// and an abstract canvas. Nothing here includes a Windows header, so face
// drawing is tested natively against a canvas that records what it is told.

#include <cstdint>
#include <string>
#include <vector>

using TColor = uint32_t;

constexpr TColor RGB(uint8_t r, uint8_t g, uint8_t b) {
  return TColor{r} | (TColor{g} << 8) | (TColor{b} << 16);
}
constexpr uint8_t GetRValue(TColor c) { return c & 0xFF; }
constexpr uint8_t GetGValue(TColor c) { return (c >> 8) & 0xFF; }
constexpr uint8_t GetBValue(TColor c) { return (c >> 16) & 0xFF; }

// The marker for "no colour": a colour argument holding it counts as not set.
constexpr TColor clNone = 0x1FFFFFFF;

constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clNavy = 0x800000;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clCream = 0xF0FBFF;

// System colours stand for the user's current setting and are resolved at
// paint time; the low byte is the Windows COLOR_* index.
constexpr TColor clSystemColor = 0x80000000;
constexpr TColor clWindow = clSystemColor | 5;
constexpr TColor clWindowText = clSystemColor | 8;
constexpr TColor clBtnFace = clSystemColor | 15;
constexpr TColor clBtnShadow = clSystemColor | 16;
constexpr TColor clGrayText = clSystemColor | 17;
constexpr TColor clBtnText = clSystemColor | 18;
constexpr TColor clBtnHighlight = clSystemColor | 20;
constexpr TColor cl3DDkShadow = clSystemColor | 21;
constexpr TColor cl3DLight = clSystemColor | 22;

// Resolves a system colour to red, green and blue through the active
// backend's resolver (the classic Windows scheme until one is installed);
// other colours come back unchanged.
TColor ColorToRGB(TColor color);
using TSystemColorResolver = TColor (*)(int index);
void SetSystemColorResolver(TSystemColorResolver resolver);

struct TPoint {
  int X = 0;
  int Y = 0;
  friend bool operator==(const TPoint& a, const TPoint& b) { return a.X == b.X && a.Y == b.Y; }
};

// Right and bottom are exclusive, as everywhere on the platform.
struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  friend bool operator==(const TRect& a, const TRect& b) {
    return a.Left == b.Left && a.Top == b.Top && a.Right == b.Right && a.Bottom == b.Bottom;
  }
};

// The controls lay themselves out in the pixels of a 96-DPI screen. A
// backend on a denser screen scales them at its boundary: layout pixel x
// covers the device pixels from Device(x) up to, not including,
// Device(x + 1), so whatever touches in the layout touches on the screen,
// with neither a gap nor an overlap.
class TDpiScale {
 public:
  static constexpr int kLayoutDpi = 96;
  explicit TDpiScale(int dpi = kLayoutDpi) : dpi_(dpi > 0 ? dpi : kLayoutDpi) {}

  int Dpi() const { return dpi_; }
  bool Identity() const { return dpi_ == kLayoutDpi; }
  // A coordinate or a length, to the nearest device pixel (halves up).
  int Device(int layout) const;
  TPoint Device(TPoint layout) const { return {Device(layout.X), Device(layout.Y)}; }
  TRect Device(const TRect& layout) const {
    return {Device(layout.Left), Device(layout.Top), Device(layout.Right), Device(layout.Bottom)};
  }
  // The layout pixel that covers a device pixel.
  int Layout(int device) const;
  TPoint Layout(TPoint device) const { return {Layout(device.X), Layout(device.Y)}; }
  // The smallest layout length that holds a device length: text measured on
  // the device still fits where the layout gives it room.
  int LayoutLength(int device) const;

 private:
  int dpi_;
};

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

struct TFont {
  std::string Name = "MS Sans Serif";
  int Height = 11;  // character height in pixels
  unsigned Style = 0;  // TFontStyle bits
  TColor Color = clWindowText;
  friend bool operator==(const TFont& a, const TFont& b) {
    return a.Name == b.Name && a.Height == b.Height && a.Style == b.Style && a.Color == b.Color;
  }
};

enum class TBrushStyle { Solid, Clear };
enum class TPenStyle { Solid, Clear };

struct TBrush {
  TColor Color = clWhite;
  TBrushStyle Style = TBrushStyle::Solid;
};

struct TPen {
  TColor Color = clBlack;
  TPenStyle Style = TPenStyle::Solid;
  int Width = 1;
};

// A device-independent picture: pixels as resolved colour values, row by row
// from the top. Changing the size keeps the top-left part, as the glyph cell
// copier relies on.
class TBitmap {
 public:
  TBitmap() = default;
  TBitmap(int width, int height, TColor fill = clWhite);

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }
  void SetSize(int width, int height, TColor fill = clWhite);

  TColor Pixel(int x, int y) const;  // clNone outside the picture
  void SetPixel(int x, int y, TColor color);  // ignored outside the picture
  const std::vector<TColor>& Pixels() const { return pixels_; }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<TColor> pixels_;
};

// Text format bits; the values are those of the platform's text drawing.
enum TTextFormat : unsigned {
  dtLeft = 0x0,
  dtCenter = 0x1,
  dtRight = 0x2,
  dtVCenter = 0x4,
  dtBottom = 0x8,
  dtWordBreak = 0x10,
  dtSingleLine = 0x20,
  dtCalcRect = 0x400,
  dtNoPrefix = 0x800,
};

// A surface to paint on. Brush, pen and font are plain state that each call
// reads, as on the platform's device contexts.
class TCanvas {
 public:
  virtual ~TCanvas() = default;

  TBrush Brush;
  TPen Pen;
  TFont Font;

  // Fills with the brush colour; no outline.
  virtual void FillRect(const TRect& rect) = 0;
  virtual void MoveTo(int x, int y) = 0;
  // Draws with the pen from the current position up to, not including, (x, y).
  virtual void LineTo(int x, int y) = 0;
  // Outline with the pen, inside filled with the brush unless its style is clear.
  virtual void Rectangle(const TRect& rect) = 0;
  virtual void RoundRect(const TRect& rect, int ellipseWidth, int ellipseHeight) = 0;

  // Size of one line of text in the current font, "&" counted as a character.
  virtual TPoint TextExtent(const std::string& text) = 0;
  int TextWidth(const std::string& text) { return TextExtent(text).X; }
  int TextHeight(const std::string& text) { return TextExtent(text).Y; }

  // Draws text in the font colour with a transparent background, following the
  // platform's rules: word breaks, "&" marks the accelerator (underlined, "&&"
  // is one "&") unless dtNoPrefix. With dtCalcRect nothing is drawn and the
  // rectangle is set to the text's size. Returns the text's height.
  virtual int DrawText(const std::string& text, TRect& rect, unsigned format) = 0;

  // Copies a bitmap; the transparent form leaves out every pixel of the given colour.
  virtual void Draw(int x, int y, const TBitmap& bitmap) = 0;
  virtual void DrawTransparent(int x, int y, const TBitmap& bitmap, TColor transparentColor) = 0;
  virtual void StretchDraw(const TRect& rect, const TBitmap& bitmap) = 0;
};
