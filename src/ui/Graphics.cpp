#include "ui/Graphics.h"

#include <algorithm>

namespace {

// The classic Windows scheme, for a backend with no screen to ask.
TColor ClassicSystemColor(int index) {
  switch (index) {
    case 5: return clWhite;  // window
    case 8: return clBlack;  // window text
    case 15: return RGB(212, 208, 200);  // button face
    case 16: return clGray;  // button shadow
    case 17: return clGray;  // grey text
    case 18: return clBlack;  // button text
    case 20: return clWhite;  // button highlight
    case 21: return RGB(64, 64, 64);  // dark 3-D shadow
    case 22: return RGB(212, 208, 200);  // 3-D light
    default: return clBlack;
  }
}

TSystemColorResolver g_resolver = ClassicSystemColor;

}  // namespace

namespace {

// Division rounding towards minus infinity: controls slid off to the left
// stand at negative coordinates and scale by the same rule.
long long FloorDiv(long long a, long long b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

}  // namespace

int TDpiScale::Device(int layout) const {
  return static_cast<int>(FloorDiv(2LL * layout * dpi_ + kLayoutDpi, 2LL * kLayoutDpi));
}

int TDpiScale::Layout(int device) const {
  // The largest x with Device(x) <= device.
  return static_cast<int>(FloorDiv(2LL * kLayoutDpi * device + kLayoutDpi - 1, 2LL * dpi_));
}

int TDpiScale::LayoutLength(int device) const {
  return static_cast<int>(-FloorDiv(-static_cast<long long>(device) * kLayoutDpi, dpi_));
}

TColor ColorToRGB(TColor color) {
  if (color & clSystemColor) return g_resolver(static_cast<int>(color & 0xFF));
  return color;
}

void SetSystemColorResolver(TSystemColorResolver resolver) {
  g_resolver = resolver ? resolver : ClassicSystemColor;
}

TBitmap::TBitmap(int width, int height, TColor fill) { SetSize(width, height, fill); }

void TBitmap::SetSize(int width, int height, TColor fill) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  std::vector<TColor> resized(static_cast<size_t>(width) * height, fill);
  const int keepW = std::min(width, width_);
  const int keepH = std::min(height, height_);
  for (int y = 0; y < keepH; ++y)
    std::copy_n(pixels_.begin() + static_cast<size_t>(y) * width_, keepW,
                resized.begin() + static_cast<size_t>(y) * width);
  width_ = width;
  height_ = height;
  pixels_ = std::move(resized);
}

TColor TBitmap::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return clNone;
  return pixels_[static_cast<size_t>(y) * width_ + x];
}

void TBitmap::SetPixel(int x, int y, TColor color) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  pixels_[static_cast<size_t>(y) * width_ + x] = color;
}
