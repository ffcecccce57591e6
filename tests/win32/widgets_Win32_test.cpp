#include <gtest/gtest.h>

#include "ui/Application.h"
#include "ui/ExtCtrls.h"
#include "ui/Forms.h"
#include "ui/headless/HeadlessBackend.h"
#include "ui/win32/Win32Backend.h"
#include "ui/win32/Win32Canvas.h"
#include "win32/Win32Fixtures.h"
#include "widgets/LbButtonPaint.h"
#include "widgets/LbSpeedButton.h"
#include "widgets/MVI_ButtonBar.h"

namespace {

// Faces painted by GDI onto a memory bitmap of a bar button's size.
using FaceOnGdi = GdiBitmapTest<90, 23>;

TEST_F(FaceOnGdi, GradientFaceRowsAndOutline) {
  TLbButtonLooks looks;
  TLbPaintState state;
  state.Width = kWidth;
  state.Height = kHeight;
  state.Color = clNavy;
  looks.LightColor = clBlue;
  looks.ShadowColor = clLime;
  DrawButtonFace(*canvas, looks, state);
  // A 3-row gradient has ten bands on its first row; the last of them,
  // band 10, shows: 255 - 127 * 10 / 31. The lower one starts with band 1.
  EXPECT_EQ(At(45, 2), RGB(0, 0, 214));
  EXPECT_EQ(At(45, 5), RGB(0, 0, 132));
  EXPECT_EQ(At(45, 20), RGB(0, 0, 246));  // band 29
  EXPECT_EQ(At(45, 0), clLime);   // the rounded outline
  EXPECT_EQ(At(45, 1), clNavy);   // the inner outline in the face colour
  EXPECT_EQ(At(0, 0), kUnpainted);  // outside the rounded corner
}

TEST_F(FaceOnGdi, ShapeFaceAndMenuArrow) {
  TLbButtonLooks looks;
  TLbPaintState state;
  state.Width = kWidth;
  state.Height = kHeight;
  looks.Style = bsShape;
  state.HasMenu = true;
  DrawButtonFace(*canvas, looks, state);
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
  TLbButtonLooks looks;
  TLbPaintState state;
  state.Width = kWidth;
  state.Height = kHeight;
  looks.Style = bsQuicken;
  state.Color = RGB(0, 48, 96);
  looks.ShadowColor = clSilver;
  DrawButtonFace(*canvas, looks, state);
  EXPECT_EQ(At(45, 11), RGB(0, 48, 96));
  EXPECT_EQ(At(45, 0), clSilver);
  EXPECT_EQ(At(45, 22), clSilver);
}

// A windowed button paints into a new, empty buffer: the pixels its face
// leaves alone show what its parent paints there, and a transparent face
// shows the parent through.
TEST_F(FaceOnGdi, ButtonShowsItsParentWhereItsFaceLeavesOff) {
  TForm form(nullptr);
  auto* bar = form.Create<tMvButtonBar>();
  bar->SetParent(&form);
  bar->SetBounds(0, 0, 713, 32);
  bar->SetColors(clWhite, clLime, clNavy, clBlue, clCream);
  bar->AddLeftButton("&Exit", 1, 1, nullptr);
  TLbSpeedButton* exit = bar->LeftButton(1);
  ASSERT_EQ(exit->BoundsRect(), (TRect{5, 4, 95, 27}));  // the bitmap's size
  auto* picture = form.Create<TImage>();  // on the bar, under the button's left end
  picture->SetParent(bar);
  picture->SetBounds(5, 4, 20, 23);
  picture->SetPicture(TBitmap(20, 23, clRed));
  const auto paint = [&] {
    canvas->Brush = TBrush{kUnpainted};
    canvas->FillRect({0, 0, kWidth, kHeight});
    canvas->Brush = TBrush();
    exit->PaintBackground(*canvas);
    exit->PaintWindow(*canvas);
  };

  paint();
  EXPECT_EQ(At(89, 0), clCream);  // the rounded corners, the first row's ends
  EXPECT_EQ(At(88, 0), clCream);
  EXPECT_EQ(At(89, 22), clCream);
  EXPECT_EQ(At(0, 0), clRed);
  EXPECT_EQ(At(45, 0), clLime);  // the outline
  EXPECT_EQ(At(80, 5), RGB(0, 0, 132));  // the face

  exit->SetTransparent(true);
  paint();
  EXPECT_EQ(At(80, 5), clCream);
  EXPECT_EQ(At(10, 5), clRed);
  EXPECT_EQ(At(45, 0), clLime);
}

// The speed button as a real window.
using SpeedButtonWindow = Win32FormTest<713, 100>;

TEST_F(SpeedButtonWindow, IsAWindowOfItsOwnClassWithItsCaptionAsText) {
  auto* bar = form->Create<tMvButtonBar>();
  bar->SetParent(form.get());
  bar->SetBounds(0, 0, 713, 32);
  bar->SetColors(clWhite, clLime, clNavy, clBlue, clCream);
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

  // The rounded corner shows the bar, not the black of a new bitmap.
  ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  const COLORREF corner = ::GetPixel(TWindowDc(window).get(), 0, 0);

  bar->Clear();
  EXPECT_FALSE(::IsWindowVisible(window));
  if (corner == CLR_INVALID) GTEST_SKIP() << "the screen cannot be read back here";
  EXPECT_EQ(corner, static_cast<COLORREF>(clCream));
}

}  // namespace
