#pragma once
// A canvas on a Windows device context: GDI does the drawing, the text rules
// are the platform's own. It takes layout pixels and draws at the scale it is
// given: text in fonts of the device's size, pictures stretched smoothly.

#include "ui/Graphics.h"
#include "ui/win32/Win32Handles.h"

class TWin32Canvas : public TCanvas {
 public:
  explicit TWin32Canvas(HDC dc, TDpiScale scale = TDpiScale()) : dc_(dc), scale_(scale) {}

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

  HDC Handle() const { return dc_; }

 private:
  // Layout pixels from (left, top) up to (right, bottom) in a colour, as
  // the device pixels that cover them.
  void FillCells(int left, int top, int right, int bottom, TColor color);
  void StretchPixels(const RECT& device, const TBitmap& bitmap);

  HDC dc_;
  TDpiScale scale_;
  TPoint position_;
};

// A font of the given description, at a screen's scale.
TFontHandle CreateFontHandle(const TFont& font, TDpiScale scale = TDpiScale());
