#include "ui/win32/Win32Canvas.h"

#include <memory>
#include <type_traits>
#include <vector>

#include "ui/win32/Win32Handles.h"

TFontHandle CreateFontHandle(const TFont& font) {
  return TFontHandle(::CreateFontA(
      -font.Height, 0, 0, 0, (font.Style & fsBold) ? FW_BOLD : FW_NORMAL, (font.Style & fsItalic) ? TRUE : FALSE,
      (font.Style & fsUnderline) ? TRUE : FALSE, (font.Style & fsStrikeOut) ? TRUE : FALSE, DEFAULT_CHARSET,
      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, font.Name.c_str()));
}

namespace {

COLORREF Ref(TColor color) { return static_cast<COLORREF>(ColorToRGB(color) & 0xFFFFFF); }

TGdiObject MakePen(const TPen& pen) {
  if (pen.Style == TPenStyle::Clear) return TGdiObject(::CreatePen(PS_NULL, 0, 0));
  return TGdiObject(::CreatePen(PS_SOLID, pen.Width, Ref(pen.Color)));
}

TGdiObject MakeBrush(const TBrush& brush) {
  if (brush.Style == TBrushStyle::Clear) return TGdiObject();
  return TGdiObject(::CreateSolidBrush(Ref(brush.Color)));
}

// Pixels as a top-down 32-bit device-independent bitmap.
struct TDib {
  BITMAPINFO Info{};
  std::vector<uint32_t> Bits;
  explicit TDib(const TBitmap& bitmap) {
    Info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    Info.bmiHeader.biWidth = bitmap.Width();
    Info.bmiHeader.biHeight = -bitmap.Height();
    Info.bmiHeader.biPlanes = 1;
    Info.bmiHeader.biBitCount = 32;
    Info.bmiHeader.biCompression = BI_RGB;
    Bits.reserve(bitmap.Pixels().size());
    for (TColor c : bitmap.Pixels()) Bits.push_back(GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c));
  }
};

}  // namespace

void TWin32Canvas::FillRect(const TRect& rect) {
  if (Brush.Style == TBrushStyle::Clear) return;
  TGdiObject brush = MakeBrush(Brush);
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  ::FillRect(dc_, &r, static_cast<HBRUSH>(brush.get()));
}

void TWin32Canvas::MoveTo(int x, int y) { ::MoveToEx(dc_, x, y, nullptr); }

void TWin32Canvas::LineTo(int x, int y) {
  TGdiObject pen = MakePen(Pen);
  TSelection use(dc_, pen.get());
  ::LineTo(dc_, x, y);
}

void TWin32Canvas::Rectangle(const TRect& rect) {
  TGdiObject pen = MakePen(Pen);
  TGdiObject brush = MakeBrush(Brush);
  TSelection usePen(dc_, pen.get());
  TSelection useBrush(dc_, brush ? brush.get() : ::GetStockObject(NULL_BRUSH));
  ::Rectangle(dc_, rect.Left, rect.Top, rect.Right, rect.Bottom);
}

void TWin32Canvas::RoundRect(const TRect& rect, int ellipseWidth, int ellipseHeight) {
  TGdiObject pen = MakePen(Pen);
  TGdiObject brush = MakeBrush(Brush);
  TSelection usePen(dc_, pen.get());
  TSelection useBrush(dc_, brush ? brush.get() : ::GetStockObject(NULL_BRUSH));
  ::RoundRect(dc_, rect.Left, rect.Top, rect.Right, rect.Bottom, ellipseWidth, ellipseHeight);
}

TPoint TWin32Canvas::TextExtent(const std::string& text) {
  TFontHandle font = CreateFontHandle(Font);
  TSelection use(dc_, font.get());
  SIZE size{};
  ::GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &size);
  return {size.cx, size.cy};
}

int TWin32Canvas::DrawText(const std::string& text, TRect& rect, unsigned format) {
  TFontHandle font = CreateFontHandle(Font);
  TSelection use(dc_, font.get());
  ::SetBkMode(dc_, TRANSPARENT);
  ::SetTextColor(dc_, Ref(Font.Color));
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  // The copy: the platform may write into the text it is given.
  std::string copy = text;
  const int height = ::DrawTextA(dc_, copy.data(), static_cast<int>(copy.size()), &r, format);
  if (format & dtCalcRect) rect = {r.left, r.top, r.right, r.bottom};
  return height;
}

void TWin32Canvas::Draw(int x, int y, const TBitmap& bitmap) {
  if (bitmap.Empty()) return;
  TDib dib(bitmap);
  ::SetDIBitsToDevice(dc_, x, y, bitmap.Width(), bitmap.Height(), 0, 0, 0, bitmap.Height(), dib.Bits.data(),
                      &dib.Info, DIB_RGB_COLORS);
}

void TWin32Canvas::DrawTransparent(int x, int y, const TBitmap& bitmap, TColor transparentColor) {
  if (bitmap.Empty()) return;
  const TColor key = ColorToRGB(transparentColor);
  // Runs of shown pixels, one row at a time: glyphs are small.
  for (int row = 0; row < bitmap.Height(); ++row) {
    int col = 0;
    while (col < bitmap.Width()) {
      while (col < bitmap.Width() && bitmap.Pixel(col, row) == key) ++col;
      const int start = col;
      while (col < bitmap.Width() && bitmap.Pixel(col, row) != key) ++col;
      if (col == start) continue;
      TBitmap run(col - start, 1);
      for (int i = start; i < col; ++i) run.SetPixel(i - start, 0, bitmap.Pixel(i, row));
      Draw(x + start, y + row, run);
    }
  }
}

void TWin32Canvas::StretchDraw(const TRect& rect, const TBitmap& bitmap) {
  if (bitmap.Empty()) return;
  TDib dib(bitmap);
  ::SetStretchBltMode(dc_, HALFTONE);
  ::SetBrushOrgEx(dc_, 0, 0, nullptr);
  ::StretchDIBits(dc_, rect.Left, rect.Top, rect.Width(), rect.Height(), 0, 0, bitmap.Width(), bitmap.Height(),
                  dib.Bits.data(), &dib.Info, DIB_RGB_COLORS, SRCCOPY);
}
