#include <gtest/gtest.h>

#include "ui/Application.h"
#include "ui/Forms.h"
#include "ui/headless/HeadlessBackend.h"
#include "ui/win32/Win32Backend.h"
#include "ui/win32/Win32Canvas.h"
#include "widgets/LbButtons.h"
#include "widgets/LbSpeedButton.h"
#include "widgets/MVI_ButtonBar.h"

namespace {

// Faces painted by GDI onto a memory bitmap, read back pixel by pixel.
class FaceOnGdi : public ::testing::Test {
 protected:
  void SetUp() override {
    dc.reset(::CreateCompatibleDC(nullptr));
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    bitmap.reset(::CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(bitmap);
    ::SelectObject(dc.get(), bitmap.get());
    canvas = std::make_unique<TWin32Canvas>(dc.get());
    canvas->Brush.Color = clWhite;
    canvas->FillRect({0, 0, kWidth, kHeight});
  }
  TColor At(int x, int y) {
    const COLORREF c = ::GetPixel(dc.get(), x, y);
    return RGB(GetRValue(c), GetGValue(c), GetBValue(c));
  }
  static constexpr int kWidth = 90;
  static constexpr int kHeight = 23;
  TMemoryDc dc;
  TGdiObject bitmap;
  std::unique_ptr<TWin32Canvas> canvas;
};

TEST_F(FaceOnGdi, GradientFaceRowsAndOutline) {
  TLbButtonFace f;
  f.Width = kWidth;
  f.Height = kHeight;
  f.Color = clNavy;
  f.LightColor = clBlue;
  f.ShadowColor = clLime;
  DrawButtonFace(*canvas, f);
  // A 3-row gradient has ten bands on its first row; the last of them,
  // band 10, shows: 255 - 127 * 10 / 31. The lower one starts with band 1.
  EXPECT_EQ(At(45, 2), RGB(0, 0, 214));
  EXPECT_EQ(At(45, 5), RGB(0, 0, 132));
  EXPECT_EQ(At(45, 20), RGB(0, 0, 246));  // band 29
  EXPECT_EQ(At(45, 0), clLime);   // the rounded outline
  EXPECT_EQ(At(45, 1), clNavy);   // the inner outline in the face colour
  EXPECT_EQ(At(0, 0), clWhite);   // outside the rounded corner
}

TEST_F(FaceOnGdi, ShapeFaceAndMenuArrow) {
  TLbButtonFace f;
  f.Width = kWidth;
  f.Height = kHeight;
  f.FaceKind = TLbFaceKind::Shape;
  f.HasMenu = true;
  DrawButtonFace(*canvas, f);
  EXPECT_EQ(At(0, 0), clFuchsia);
  EXPECT_EQ(At(89, 22), clFuchsia);
  // The arrow at (W-11, H div 2 - 1): a row of five, three, then one.
  EXPECT_EQ(At(79, 10), clBlack);
  EXPECT_EQ(At(83, 10), clBlack);
  EXPECT_EQ(At(80, 11), clBlack);
  EXPECT_EQ(At(79, 11), clFuchsia);
  EXPECT_EQ(At(81, 12), clBlack);
  EXPECT_EQ(At(80, 12), clFuchsia);
}

TEST_F(FaceOnGdi, RoundedFaceFillsWithoutOutline) {
  TLbButtonFace f;
  f.Width = kWidth;
  f.Height = kHeight;
  f.FaceKind = TLbFaceKind::Rounded;
  f.Color = RGB(0, 48, 96);
  f.ShadowColor = clSilver;
  DrawButtonFace(*canvas, f);
  EXPECT_EQ(At(45, 11), RGB(0, 48, 96));
  EXPECT_EQ(At(45, 0), clSilver);
  EXPECT_EQ(At(45, 22), clSilver);
}

// The speed button as a real window.
class SpeedButtonWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    std::unique_ptr<TWin32Backend> backend;
    try {
      backend = std::make_unique<TWin32Backend>();
    } catch (const std::runtime_error&) {
      GTEST_SKIP() << "Windows cannot be made here: run with a display (Xvfb) for these tests.";
    }
    Application().SetBackend(std::move(backend));
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(10, 10, 713, 100);
  }
  void TearDown() override {
    form.reset();
    if (dynamic_cast<TWin32Backend*>(&Application().Backend()))
      Application().SetBackend(std::make_unique<THeadlessBackend>());
  }
  static HWND Hwnd(const TWinControl* c) { return static_cast<HWND>(c->Handle()); }
  std::unique_ptr<TForm> form;
};

TEST_F(SpeedButtonWindow, IsAWindowOfItsOwnClassWithItsCaptionAsText) {
  auto* bar = form->Create<tMvButtonBar>();
  bar->SetParent(form.get());
  bar->SetBounds(0, 0, 713, 32);
  int clicks = 0;
  bar->AddRightButton("&Next", 2, 1, [&](TObject*) { ++clicks; });
  TLbSpeedButton* next = bar->RightButton(1);
  const HWND window = Hwnd(next);
  ASSERT_NE(window, nullptr);
  char text[64] = {};
  ::GetClassNameA(window, text, sizeof text);
  EXPECT_STREQ(text, "TLbSpeedButton");
  ::GetWindowTextA(window, text, sizeof text);
  EXPECT_STREQ(text, "&Next");
  EXPECT_EQ(::GetParent(window), Hwnd(bar));
  RECT r;
  ::GetWindowRect(window, &r);
  EXPECT_EQ(r.right - r.left, 90);
  EXPECT_EQ(r.bottom - r.top, 23);

  form->Show();
  ::SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_TRUE(next->Down());
  ::SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_FALSE(next->Down());
  EXPECT_EQ(clicks, 1);

  bar->Clear();
  EXPECT_FALSE(::IsWindowVisible(window));
}

}  // namespace
