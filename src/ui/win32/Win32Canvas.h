#pragma once
// A canvas on a Windows device context: GDI does the drawing, the text rules
// are the platform's own.

#include "ui/Graphics.h"
#include "ui/win32/Win32Handles.h"

class TWin32Canvas : public TCanvas {
 public:
  explicit TWin32Canvas(HDC dc) : dc_(dc) {}

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
  HDC dc_;
};

// A font of the given description.
TFontHandle CreateFontHandle(const TFont& font);
