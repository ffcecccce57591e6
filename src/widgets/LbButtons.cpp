#include "widgets/LbButtons.h"

#include <algorithm>

#include "ui/Application.h"

namespace {

constexpr int kGradientBands = 32;
constexpr TColor kDisabledCaption = RGB(128, 128, 128);

uint8_t GradientChannel(uint8_t from, uint8_t to, int band) {
  // Multiplying before dividing keeps the last band exactly on the target
  // colour; adding the step 31 times could fall a hair short of it.
  const double value = from + static_cast<double>(to - from) * band / (kGradientBands - 1);
  return static_cast<uint8_t>(static_cast<int>(value));
}

uint8_t BlendChannel(uint8_t color, uint8_t hot, double t) {
  return static_cast<uint8_t>(static_cast<int>(color * (1.0 - t) + hot * t));
}

unsigned TextFormatOf(TAlignment alignment) {
  switch (alignment) {
    case TAlignment::taRightJustify: return dtWordBreak | dtRight;
    case TAlignment::taCenter: return dtWordBreak | dtCenter;
    case TAlignment::taLeftJustify: break;
  }
  return dtWordBreak | dtLeft;
}

// Without word wrap a caption that is too wide loses characters from the
// right until it fits; then its size is taken as word-broken text of that width.
TPoint FitCaption(TCanvas& canvas, std::string& caption, int available, bool wordWrap) {
  if (!wordWrap)
    while (!caption.empty() && canvas.TextWidth(caption) > available) caption.pop_back();
  TRect measure{0, 0, available, 0};
  canvas.DrawText(caption, measure, dtCalcRect | dtWordBreak);
  return {measure.Width(), measure.Height()};
}

// A disabled button is never drawn pressed.
bool ShownDown(const TLbButtonFace& f) { return f.Down && f.Enabled; }

// Caption and glyph move one pixel with the press, except on the flat face,
// which turns its caption bold instead.
int PressOffset(const TLbButtonFace& f) { return ShownDown(f) && f.FaceKind != TLbFaceKind::Flat ? 1 : 0; }

TColor FaceColor(const TLbButtonFace& f) {
  TColor face = ColorToRGB(f.Color);
  if (f.Enabled && f.HotTrackColor != clNone) face = BlendHotColor(f.FadeStep, f.Color, f.HotTrackColor);
  if (ShownDown(f) && f.ColorWhenDown != clNone) face = f.ColorWhenDown;
  return face;
}

const TBitmap& GlyphOf(const TLbButtonFace& f) {
  static const TBitmap kNoGlyph;
  return f.Glyph ? *f.Glyph : kNoGlyph;
}

int GlyphCellWidth(const TLbButtonFace& f) {
  return f.GlyphCells > 0 ? GlyphOf(f).Width() / f.GlyphCells : 0;
}

void PaintBackground(TCanvas& canvas, const TLbButtonFace& f, TColor face) {
  const int w = f.Width;
  const int h = f.Height;
  const TRect whole{-1, -1, w + 1, h + 1};
  canvas.Brush.Style = TBrushStyle::Solid;
  if (f.FaceKind == TLbFaceKind::Shape) {
    canvas.Brush.Color = clFuchsia;
    canvas.FillRect(whole);
  } else if (!f.Transparent) {
    canvas.Brush.Color = face;
    if (f.FaceKind == TLbFaceKind::Flat || f.FaceKind == TLbFaceKind::Classic) {
      canvas.FillRect(whole);
    } else if (f.FaceKind == TLbFaceKind::Gradient) {
      const int split = h / 4 + PressOffset(f);
      FillGradient(canvas, f.LightColor, face, {2, 2, w - 2, split});
      FillGradient(canvas, face, f.LightColor, {2, split, w - 2, h - 1});
    }
  }
  canvas.Brush.Style = TBrushStyle::Clear;
}

void PaintFrameLines(TCanvas& canvas, const TLbButtonFace& f) {
  const int w = f.Width;
  const int h = f.Height;
  const bool down = ShownDown(f);
  canvas.Pen.Style = TPenStyle::Solid;
  if (f.FaceKind == TLbFaceKind::Classic) {
    canvas.Pen.Color = f.ShadowColor;
    if (down) {
      canvas.MoveTo(1, h - 3);
      canvas.LineTo(1, 1);
      canvas.LineTo(w - 2, 1);
    } else {
      canvas.MoveTo(w - 2, 0);
      canvas.LineTo(w - 2, h - 2);
      canvas.LineTo(0, h - 2);
    }
    canvas.Pen.Color = down ? cl3DDkShadow : f.LightColor;
    canvas.MoveTo(0, h - 1);
    canvas.LineTo(0, 0);
    canvas.LineTo(w - 1, 0);
    canvas.Pen.Color = down ? f.LightColor : cl3DDkShadow;
    canvas.LineTo(w - 1, h - 1);
    canvas.LineTo(-1, h - 1);
  } else {
    canvas.Pen.Color = down ? f.ShadowColor : f.LightColor;
    canvas.MoveTo(0, h - 1);
    canvas.LineTo(0, 0);
    canvas.LineTo(w - 1, 0);
    canvas.Pen.Color = down ? f.LightColor : f.ShadowColor;
    canvas.LineTo(w - 1, h - 1);
    canvas.LineTo(0, h - 1);
  }
}

void PaintFrame(TCanvas& canvas, const TLbButtonFace& f, TColor face) {
  const int w = f.Width;
  const int h = f.Height;
  const bool down = ShownDown(f);
  switch (f.FaceKind) {
    case TLbFaceKind::Flat:
    case TLbFaceKind::Classic:
      if ((f.Enabled && (!f.Flat || f.Hot || down)) || (!f.Enabled && !f.Flat)) PaintFrameLines(canvas, f);
      break;
    case TLbFaceKind::Gradient:
      canvas.Pen.Style = TPenStyle::Solid;
      canvas.Pen.Color = down ? f.ShadowColor : face;
      canvas.Rectangle({1, 1, w - 1, h - 1});
      canvas.Pen.Color = f.ShadowColor;
      canvas.RoundRect({0, 0, w, h}, 6, 6);
      break;
    case TLbFaceKind::Rounded:
      canvas.Brush.Style = TBrushStyle::Solid;
      canvas.Brush.Color = face;
      canvas.Pen.Style = TPenStyle::Clear;
      canvas.RoundRect({0, 1, w, h}, 4, 4);
      canvas.Brush.Style = TBrushStyle::Clear;
      canvas.Pen.Style = TPenStyle::Solid;
      canvas.Pen.Color = f.ShadowColor;
      canvas.MoveTo(4, 0);
      canvas.LineTo(w - 5, 0);
      canvas.MoveTo(4, h - 1);
      canvas.LineTo(w - 5, h - 1);
      break;
    case TLbFaceKind::Shape:
      break;
  }
}

// In the font that LayoutButtonFace has set.
void PaintCaption(TCanvas& canvas, const TLbButtonFace& f, const TLbFaceLayout& layout) {
  // The shape face keeps its caption's colour when disabled.
  if (!f.Enabled && f.FaceKind != TLbFaceKind::Shape) canvas.Font.Color = kDisabledCaption;
  TRect r = layout.CaptionRect;
  canvas.DrawText(layout.Caption, r, layout.CaptionFormat);
}

void PaintGlyph(TCanvas& canvas, const TLbButtonFace& f, const TLbFaceLayout& layout) {
  const TRect& r = layout.GlyphRect;
  const int sourceX = GlyphCellIndex(f.GlyphCells, f.Enabled, ShownDown(f), f.Hot) * r.Width();
  DrawGlyphCell(canvas, GlyphOf(f), r.Left, r.Top, sourceX, r.Height(), r.Width(), 0);
}

void PaintMenuArrow(TCanvas& canvas, const TLbButtonFace& f) {
  const TBitmap& arrow = LbArrowBitmap();
  canvas.DrawTransparent(f.Width - 11, f.Height / 2 - 1, arrow, arrow.Pixel(0, arrow.Height() - 1));
}

}  // namespace

TLbFaceKind FaceKindOf(TLbSpeedButtonStyle style) {
  switch (style) {
    case bsEncarta: return TLbFaceKind::Flat;
    case bsOld: return TLbFaceKind::Classic;
    case bsShape: return TLbFaceKind::Shape;
    case bsQuicken: return TLbFaceKind::Rounded;
    case bsNormal:
    case bsModern: break;
  }
  return TLbFaceKind::Gradient;
}

void FillGradient(TCanvas& canvas, TColor fromColor, TColor toColor, const TRect& rect) {
  const TColor from = ColorToRGB(fromColor);
  const TColor to = ColorToRGB(toColor);
  const int h = rect.Bottom - rect.Top;
  const TPenStyle savedPen = canvas.Pen.Style;
  canvas.Pen.Style = TPenStyle::Clear;
  for (int band = 0; band < kGradientBands; ++band) {
    TRect r{rect.Left, rect.Top + band * h / (kGradientBands - 1), rect.Right, 0};
    r.Bottom = std::min(r.Top + h / (kGradientBands - 1) + 1, rect.Bottom);
    if (r.Bottom <= r.Top || r.Right <= r.Left) continue;
    canvas.Brush.Color = RGB(GradientChannel(GetRValue(from), GetRValue(to), band),
                             GradientChannel(GetGValue(from), GetGValue(to), band),
                             GradientChannel(GetBValue(from), GetBValue(to), band));
    canvas.FillRect(r);
  }
  canvas.Pen.Style = savedPen;
}

TColor BlendHotColor(int fadeStep, TColor color, TColor hotTrackColor) {
  const double t = std::clamp(fadeStep, 0, 8) / 8.0;
  const TColor c = ColorToRGB(color);
  const TColor hot = ColorToRGB(hotTrackColor);
  return RGB(BlendChannel(GetRValue(c), GetRValue(hot), t),
             BlendChannel(GetGValue(c), GetGValue(hot), t),
             BlendChannel(GetBValue(c), GetBValue(hot), t));
}

int GlyphCellIndex(int glyphCells, bool enabled, bool down, bool hot) {
  if (!enabled) return 1;
  if (down && glyphCells > 2) return 2;
  if (hot && glyphCells > 3) return 3;
  return 0;
}

void DrawGlyphCell(TCanvas& canvas, const TBitmap& glyph, int x, int y, int sourceX,
                   int cellHeight, int cellWidth, int sourceY) {
  // Start from the strip's top-left corner, the first cell, and copy the
  // wanted cell over it; whatever of the cell lies outside the strip leaves
  // the first cell showing.
  TBitmap cell = glyph;
  cell.SetSize(cellWidth, cellHeight);
  if (cell.Empty()) return;
  for (int row = 0; row < cell.Height(); ++row)
    for (int col = 0; col < cell.Width(); ++col) {
      const TColor source = glyph.Pixel(col + sourceX, row + sourceY);
      if (source != clNone) cell.SetPixel(col, row, source);
    }
  canvas.DrawTransparent(x, y, cell, cell.Pixel(0, cell.Height() - 1));
}

const TBitmap& LbArrowBitmap() {
  static const TBitmap arrow = [] {
    TBitmap b(5, 3, clWhite);
    for (int x = 0; x < 5; ++x) b.SetPixel(x, 0, clBlack);
    for (int x = 1; x < 4; ++x) b.SetPixel(x, 1, clBlack);
    b.SetPixel(2, 2, clBlack);
    return b;
  }();
  return arrow;
}

std::optional<TLbColorStyleValues> ApplyColorStyle(TLbColorStyle style) {
  switch (style) {
    case lcsCustom: return std::nullopt;
    case lcsGold:
      return TLbColorStyleValues{RGB(192, 192, 0), RGB(255, 255, 0), RGB(128, 128, 0), clNone,
                                 RGB(223, 223, 0), false, bsModern, clBlack};
    case lcsChrome:
      return TLbColorStyleValues{RGB(192, 192, 192), RGB(255, 255, 255), RGB(128, 128, 128),
                                 clNone, clNone, false, bsModern, clBlack};
    case lcsBlue:
      return TLbColorStyleValues{RGB(0, 128, 255), RGB(0, 255, 255), RGB(0, 0, 255), clNone,
                                 clNone, false, bsModern, clBlack};
    case lcsRed:
      return TLbColorStyleValues{RGB(255, 0, 0), RGB(255, 192, 192), RGB(192, 0, 0), clNone,
                                 clNone, false, bsModern, clBlack};
    case lcsUltraFlat1:
      return TLbColorStyleValues{clBtnFace, RGB(132, 146, 181), RGB(132, 146, 181),
                                 RGB(132, 146, 181), RGB(214, 211, 222), true, bsNormal, clBlack};
    case lcsUltraFlat2:
      return TLbColorStyleValues{clBtnFace, RGB(0, 0, 0), RGB(0, 0, 0), RGB(188, 218, 36),
                                 RGB(228, 246, 140), true, bsNormal, clBlack};
    case lcsUltraFlatXP:
      // The shadow is one step redder than the light colour; buttons in the
      // field carry that value, so it stays.
      return TLbColorStyleValues{RGB(219, 216, 209), RGB(132, 146, 181), RGB(133, 146, 181),
                                 RGB(133, 146, 181), RGB(182, 189, 210), true, bsNormal, clBlack};
    case lcsAqua:
      return TLbColorStyleValues{RGB(148, 206, 236), RGB(212, 230, 252), RGB(0, 0, 0), clNone,
                                 clNone, false, bsModern, clBlack};
    case lcsDefault:
      return TLbColorStyleValues{clBtnFace, RGB(255, 255, 255), RGB(128, 128, 128), clNone,
                                 clNone, false, bsNormal, clBlack};
    case lcsQuicken:
      return TLbColorStyleValues{RGB(0, 48, 96), RGB(192, 192, 192), RGB(192, 192, 192),
                                 RGB(41, 101, 173), RGB(156, 174, 206), false, bsQuicken,
                                 clWhite};
  }
  return std::nullopt;
}

TLbFaceLayout LayoutButtonFace(TCanvas& canvas, const TLbButtonFace& f) {
  const int w = f.Width;
  const int h = f.Height;
  const int off = PressOffset(f);
  const int gh = GlyphOf(f).Height();
  const int cw = GlyphCellWidth(f);
  canvas.Font = f.Font;
  if (f.FaceKind == TLbFaceKind::Flat && ShownDown(f)) canvas.Font.Style |= fsBold;

  TLbFaceLayout layout;
  layout.Caption = f.Caption;
  if (f.FaceKind == TLbFaceKind::Shape) {
    const TPoint size = FitCaption(canvas, layout.Caption, std::max(w - 8, 0), f.WordWrap);
    layout.CaptionRect = {off, (h - size.Y) / 2 + off, w, h};
    layout.CaptionFormat = dtWordBreak | dtCenter;
    const TPoint glyph{(w - cw) / 2, (h - gh) / 2};
    layout.GlyphRect = {glyph.X, glyph.Y, glyph.X + cw, glyph.Y + gh};
    return layout;
  }

  int a = 0, tx = 0, ty = 0, gx = 0, gy = 0, th = 0;
  if (f.Layout == blGlyphLeft || f.Layout == blGlyphRight) {
    a = std::max(w - 8 - (cw > 0 ? cw + 4 : 0), 0);
    const TPoint size = FitCaption(canvas, layout.Caption, a, f.WordWrap);
    th = size.Y;
    ty = (h - th) / 2 + off;
    tx = off + 4;
    gy = (h - gh) / 2 + off;
    const int tw4 = layout.Caption.empty() ? 0 : size.X + 4;
    if (f.Layout == blGlyphLeft) {
      if (cw > 0) tx += cw + 4;
      gx = off + 4;
      if (!f.WordWrap) {
        if (f.Alignment == TAlignment::taRightJustify) gx = w - 4 - cw - tw4 + off;
        else if (f.Alignment == TAlignment::taCenter) gx = (w - cw) / 2 + off - tw4 / 2;
      }
    } else {
      gx = tx + tw4;
      if (!f.WordWrap) {
        if (f.Alignment == TAlignment::taRightJustify) gx = w - 4 - cw + off;
        else if (f.Alignment == TAlignment::taCenter) gx = (w - cw) / 2 + off + tw4 / 2;
      }
    }
  } else {
    a = std::max(w - 8, 0);
    const TPoint size = FitCaption(canvas, layout.Caption, a, f.WordWrap);
    th = size.Y;
    const int block = th + (gh > 0 ? gh + 4 : 0);
    tx = off + 4;
    if (f.Layout == blGlyphTop) {
      ty = (h - block) / 2 + gh + off;
      gy = (h - block) / 2 + off;
    } else {
      ty = (h - block) / 2 + off;
      gy = (h - block) / 2 + th + off;
    }
    gx = off + 4;
    if (f.Alignment == TAlignment::taRightJustify) gx = w - cw - 4 + off;
    else if (f.Alignment == TAlignment::taCenter) gx = (w - cw) / 2 + off;
  }
  layout.CaptionRect = {tx, ty, tx + a, ty + th};
  layout.CaptionFormat = TextFormatOf(f.Alignment);
  layout.GlyphRect = {gx, gy, gx + cw, gy + gh};
  return layout;
}

void DrawButtonFace(TCanvas& canvas, const TLbButtonFace& f) {
  const TColor face = FaceColor(f);
  PaintBackground(canvas, f, face);
  PaintFrame(canvas, f, face);
  const TLbFaceLayout layout = LayoutButtonFace(canvas, f);
  // The shape face puts its caption over its glyph; the others the glyph
  // over the caption.
  if (f.FaceKind == TLbFaceKind::Shape) {
    PaintGlyph(canvas, f, layout);
    PaintCaption(canvas, f, layout);
  } else {
    PaintCaption(canvas, f, layout);
    PaintGlyph(canvas, f, layout);
  }
  if (f.HasMenu) PaintMenuArrow(canvas, f);
}

TLbButtonThread::TLbButtonThread(std::function<void()> tick)
    : tick_(std::move(tick)), worker_([this] { Execute(); }) {}

TLbButtonThread::~TLbButtonThread() {
  Terminate();
  WaitFor();
}

bool TLbButtonThread::Suspended() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return suspended_;
}

void TLbButtonThread::Suspend() {
  std::lock_guard<std::mutex> lock(mutex_);
  suspended_ = true;
}

void TLbButtonThread::Resume() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    suspended_ = false;
  }
  wake_.notify_all();
}

void TLbButtonThread::Terminate() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    terminated_ = true;
  }
  wake_.notify_all();
}

void TLbButtonThread::WaitFor() {
  if (!worker_.joinable()) return;
  if (Application().IsMainThread()) {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!finished_) {
      lock.unlock();
      Application().CheckSynchronize();
      lock.lock();
      wake_.wait_for(lock, std::chrono::milliseconds(1), [this] { return finished_; });
    }
  }
  worker_.join();
}

void TLbButtonThread::Execute() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return terminated_ || !suspended_; });
    if (terminated_) break;
    if (wake_.wait_for(lock, TickInterval, [this] { return terminated_; })) break;
    if (suspended_) continue;
    lock.unlock();
    try {
      // The tick's own failures reach the application's handler on the main
      // thread; only a failure to get there at all ends the worker.
      Application().Synchronize([this] { Application().Dispatch(nullptr, tick_); });
    } catch (...) {
      lock.lock();
      break;
    }
    lock.lock();
  }
  finished_ = true;
  lock.unlock();
  wake_.notify_all();
}
