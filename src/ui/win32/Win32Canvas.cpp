#include "ui/win32/Win32Canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <tuple>
#include <type_traits>
#include <vector>

#include "ui/win32/Win32Handles.h"

namespace {

const char kStandInFace[] = "MS Shell Dlg 2";

HFONT MakeFont(const TFont& font, int height, const std::string& name) {
  return ::CreateFontA(-height, 0, 0, 0, (font.Style & fsBold) ? FW_BOLD : FW_NORMAL,
                       (font.Style & fsItalic) ? TRUE : FALSE, (font.Style & fsUnderline) ? TRUE : FALSE,
                       (font.Style & fsStrikeOut) ? TRUE : FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, name.c_str());
}

struct TRealizedFont {
  int Height;  // of the characters, in pixels
  int Width;   // of a line of sample text
  bool Outline;
};

TRealizedFont Realize(const TFont& font, int height, const std::string& name) {
  static const std::string sample = "Choose the folder where the program files will be placed";
  TMemoryDc dc(::CreateCompatibleDC(nullptr));
  TFontHandle handle(MakeFont(font, height, name));
  TSelection use(dc.get(), handle.get());
  TEXTMETRICA metrics{};
  ::GetTextMetricsA(dc.get(), &metrics);
  SIZE size{};
  ::GetTextExtentPoint32A(dc.get(), sample.data(), static_cast<int>(sample.size()), &size);
  return {metrics.tmHeight - metrics.tmInternalLeading, size.cx,
          (metrics.tmPitchAndFamily & (TMPF_VECTOR | TMPF_TRUETYPE)) != 0};
}

struct TFontChoice {
  std::string Name;
  int Height;
};

// A face draws the scaled height as itself when it has a size of its own
// there: an outline face always does; a bitmap face only with a strike
// within a pixel of it, and not one of half the height that the system
// enlarges. Otherwise it would come out small or torn apart, and the
// system's outline dialog face stands in, sized to run as wide as the
// bitmap face does at the layout's size, scaled: the text then looks as at
// the layout's scale, only bigger, and fits where it did.
TFontChoice Choose(const TFont& font, TDpiScale scale) {
  const int height = scale.Device(font.Height);
  if (scale.Identity()) return {font.Name, height};
  static std::map<std::tuple<std::string, int, unsigned, int>, TFontChoice> known;
  const auto key = std::make_tuple(font.Name, font.Height, font.Style, scale.Dpi());
  const auto found = known.find(key);
  if (found != known.end()) return found->second;
  TFontChoice choice{font.Name, height};
  const TRealizedFont scaled = Realize(font, height, font.Name);
  const bool own = scaled.Outline || (std::abs(scaled.Height - height) <= 1 &&
                                      Realize(font, height / 2, font.Name).Height * 2 != scaled.Height);
  if (!own) {
    const TRealizedFont layout = Realize(font, font.Height, font.Name);
    const TRealizedFont standIn = Realize(font, layout.Height, kStandInFace);
    choice = {kStandInFace, ::MulDiv(scale.Device(layout.Height), layout.Width, std::max(standIn.Width, 1))};
  }
  known.emplace(key, choice);
  return choice;
}

}  // namespace

TFontHandle CreateFontHandle(const TFont& font, TDpiScale scale) {
  const TFontChoice choice = Choose(font, scale);
  return TFontHandle(MakeFont(font, choice.Height, choice.Name));
}

namespace {

COLORREF Ref(TColor color) { return static_cast<COLORREF>(ColorToRGB(color) & 0xFFFFFF); }

TGdiObject MakePen(const TPen& pen, TDpiScale scale) {
  if (pen.Style == TPenStyle::Clear) return TGdiObject(::CreatePen(PS_NULL, 0, 0));
  return TGdiObject(::CreatePen(PS_SOLID, scale.Device(pen.Width), Ref(pen.Color)));
}

RECT DeviceRect(TDpiScale scale, const TRect& layout) {
  const TRect r = scale.Device(layout);
  return {r.Left, r.Top, r.Right, r.Bottom};
}

TGdiObject MakeBrush(const TBrush& brush) {
  if (brush.Style == TBrushStyle::Clear) return TGdiObject();
  return TGdiObject(::CreateSolidBrush(Ref(brush.Color)));
}

// Pixels as a top-down 32-bit device-independent bitmap.
BITMAPINFO DibInfo(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

uint32_t DibPixel(TColor c) { return GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c); }

struct TDib {
  BITMAPINFO Info;
  std::vector<uint32_t> Bits;
  explicit TDib(const TBitmap& bitmap) : Info(DibInfo(bitmap.Width(), bitmap.Height())) {
    Bits.reserve(bitmap.Pixels().size());
    for (TColor c : bitmap.Pixels()) Bits.push_back(DibPixel(c));
  }
};

// How much of the source span [from, to) lies in source pixel i.
double Overlap(double from, double to, int i) {
  return std::max(0.0, std::min(to, i + 1.0) - std::max(from, double(i)));
}

}  // namespace

void TWin32Canvas::FillRect(const TRect& rect) {
  if (Brush.Style == TBrushStyle::Clear) return;
  TGdiObject brush = MakeBrush(Brush);
  const RECT r = DeviceRect(scale_, rect);
  ::FillRect(dc_, &r, static_cast<HBRUSH>(brush.get()));
}

void TWin32Canvas::FillCells(int left, int top, int right, int bottom, TColor color) {
  TGdiObject brush(::CreateSolidBrush(Ref(color)));
  const RECT r = DeviceRect(scale_, {left, top, right, bottom});
  ::FillRect(dc_, &r, static_cast<HBRUSH>(brush.get()));
}

void TWin32Canvas::MoveTo(int x, int y) {
  position_ = {x, y};
  ::MoveToEx(dc_, scale_.Device(x), scale_.Device(y), nullptr);
}

void TWin32Canvas::LineTo(int x, int y) {
  const TPoint from = position_;
  const bool straight = from.X == x || from.Y == y;
  if (scale_.Identity() || !straight) {
    TGdiObject pen = MakePen(Pen, scale_);
    TSelection use(dc_, pen.get());
    ::LineTo(dc_, scale_.Device(x), scale_.Device(y));
    position_ = {x, y};
    return;
  }
  // Scaled, a straight line covers the device pixels of the layout pixels it
  // stands for, as the fills beside it do: the bevels of a frame then meet
  // without gaps. Drawn backwards, it leaves out its start point instead.
  if (Pen.Style == TPenStyle::Solid) {
    const int width = std::max(1, Pen.Width);
    const int side = (width - 1) / 2;
    if (from.Y == y) {
      const int shift = x < from.X ? 1 : 0;
      FillCells(std::min(from.X, x) + shift, y - side, std::max(from.X, x) + shift, y - side + width, Pen.Color);
    } else {
      const int shift = y < from.Y ? 1 : 0;
      FillCells(x - side, std::min(from.Y, y) + shift, x - side + width, std::max(from.Y, y) + shift, Pen.Color);
    }
  }
  MoveTo(x, y);
}

void TWin32Canvas::Rectangle(const TRect& rect) {
  if (scale_.Identity()) {
    TGdiObject pen = MakePen(Pen, scale_);
    TGdiObject brush = MakeBrush(Brush);
    TSelection usePen(dc_, pen.get());
    TSelection useBrush(dc_, brush ? brush.get() : ::GetStockObject(NULL_BRUSH));
    ::Rectangle(dc_, rect.Left, rect.Top, rect.Right, rect.Bottom);
    return;
  }
  // The outline in cells, as straight lines are; without one the platform
  // leaves out the right and bottom edges of the inside.
  const bool outline = Pen.Style == TPenStyle::Solid;
  const int edge = outline ? std::max(1, Pen.Width) : 0;
  if (Brush.Style == TBrushStyle::Solid)
    FillCells(rect.Left + edge, rect.Top + edge, rect.Right - std::max(edge, 1), rect.Bottom - std::max(edge, 1),
              Brush.Color);
  if (!outline) return;
  FillCells(rect.Left, rect.Top, rect.Right, rect.Top + edge, Pen.Color);
  FillCells(rect.Left, rect.Bottom - edge, rect.Right, rect.Bottom, Pen.Color);
  FillCells(rect.Left, rect.Top, rect.Left + edge, rect.Bottom, Pen.Color);
  FillCells(rect.Right - edge, rect.Top, rect.Right, rect.Bottom, Pen.Color);
}

void TWin32Canvas::RoundRect(const TRect& rect, int ellipseWidth, int ellipseHeight) {
  TGdiObject pen = MakePen(Pen, scale_);
  TGdiObject brush = MakeBrush(Brush);
  TSelection usePen(dc_, pen.get());
  TSelection useBrush(dc_, brush ? brush.get() : ::GetStockObject(NULL_BRUSH));
  const RECT r = DeviceRect(scale_, rect);
  ::RoundRect(dc_, r.left, r.top, r.right, r.bottom, scale_.Device(ellipseWidth), scale_.Device(ellipseHeight));
}

TPoint TWin32Canvas::TextExtent(const std::string& text) {
  TFontHandle font = CreateFontHandle(Font, scale_);
  TSelection use(dc_, font.get());
  SIZE size{};
  ::GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &size);
  return {scale_.LayoutLength(size.cx), scale_.LayoutLength(size.cy)};
}

int TWin32Canvas::DrawText(const std::string& text, TRect& rect, unsigned format) {
  TFontHandle font = CreateFontHandle(Font, scale_);
  TSelection use(dc_, font.get());
  ::SetBkMode(dc_, TRANSPARENT);
  ::SetTextColor(dc_, Ref(Font.Color));
  const RECT device = DeviceRect(scale_, rect);
  RECT r = device;
  // The copy: the platform may write into the text it is given.
  std::string copy = text;
  const int height = ::DrawTextA(dc_, copy.data(), static_cast<int>(copy.size()), &r, format);
  if (format & dtCalcRect) {
    rect.Right = rect.Left + scale_.LayoutLength(r.right - device.left);
    rect.Bottom = rect.Top + scale_.LayoutLength(r.bottom - device.top);
  }
  return scale_.LayoutLength(height);
}

void TWin32Canvas::StretchPixels(const RECT& device, const TBitmap& bitmap) {
  TDib dib(bitmap);
  ::SetStretchBltMode(dc_, HALFTONE);
  // The pattern starts where the window does, also in a buffer that holds
  // only part of it, so that partial repaints match the whole.
  POINT origin{};
  ::GetViewportOrgEx(dc_, &origin);
  ::SetBrushOrgEx(dc_, (origin.x % 8 + 8) % 8, (origin.y % 8 + 8) % 8, nullptr);
  ::StretchDIBits(dc_, device.left, device.top, device.right - device.left, device.bottom - device.top, 0, 0,
                  bitmap.Width(), bitmap.Height(), dib.Bits.data(), &dib.Info, DIB_RGB_COLORS, SRCCOPY);
}

void TWin32Canvas::Draw(int x, int y, const TBitmap& bitmap) {
  if (bitmap.Empty()) return;
  if (!scale_.Identity()) {
    StretchPixels(DeviceRect(scale_, {x, y, x + bitmap.Width(), y + bitmap.Height()}), bitmap);
    return;
  }
  TDib dib(bitmap);
  ::SetDIBitsToDevice(dc_, x, y, bitmap.Width(), bitmap.Height(), 0, 0, 0, bitmap.Height(), dib.Bits.data(),
                      &dib.Info, DIB_RGB_COLORS);
}

void TWin32Canvas::DrawTransparent(int x, int y, const TBitmap& bitmap, TColor transparentColor) {
  if (bitmap.Empty()) return;
  const RECT area = DeviceRect(scale_, {x, y, x + bitmap.Width(), y + bitmap.Height()});
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return;
  // What lies under the picture, mixed with the picture's shown pixels by
  // how much of each device pixel they cover: scaled glyphs get smooth
  // edges, and at the layout's own scale every pixel is either kept or
  // replaced.
  BITMAPINFO info = DibInfo(width, height);
  void* bits = nullptr;
  TGdiObject under(::CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  TMemoryDc buffer(::CreateCompatibleDC(dc_));
  if (!under || !buffer) throw std::runtime_error("Out of drawing resources.");
  TSelection use(buffer.get(), under.get());
  ::BitBlt(buffer.get(), 0, 0, width, height, dc_, area.left, area.top, SRCCOPY);
  ::GdiFlush();
  auto* pixels = static_cast<uint32_t*>(bits);
  const TColor key = ColorToRGB(transparentColor);
  const double sx = double(bitmap.Width()) / width;
  const double sy = double(bitmap.Height()) / height;
  for (int row = 0; row < height; ++row) {
    const double top = row * sy;
    const double bottom = top + sy;
    for (int col = 0; col < width; ++col) {
      const double left = col * sx;
      const double right = left + sx;
      double cover = 0, red = 0, green = 0, blue = 0;
      for (int j = int(top); j < bottom && j < bitmap.Height(); ++j) {
        for (int i = int(left); i < right && i < bitmap.Width(); ++i) {
          const TColor c = bitmap.Pixel(i, j);
          if (c == key) continue;
          const double w = Overlap(left, right, i) * Overlap(top, bottom, j);
          cover += w;
          red += w * GetRValue(c);
          green += w * GetGValue(c);
          blue += w * GetBValue(c);
        }
      }
      if (cover <= 0) continue;
      const double cell = sx * sy;
      uint32_t& p = pixels[row * width + col];
      const double keep = 1 - cover / cell;
      auto mix = [&](double shown, int shift) {
        return uint32_t(std::lround(shown / cell + keep * ((p >> shift) & 0xFF))) << shift;
      };
      p = mix(red, 16) | mix(green, 8) | mix(blue, 0);
    }
  }
  ::BitBlt(dc_, area.left, area.top, width, height, buffer.get(), 0, 0, SRCCOPY);
}

void TWin32Canvas::StretchDraw(const TRect& rect, const TBitmap& bitmap) {
  if (bitmap.Empty()) return;
  StretchPixels(DeviceRect(scale_, rect), bitmap);
}
