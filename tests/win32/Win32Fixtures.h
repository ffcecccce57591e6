#pragma once
// Fixtures shared by the tests of the real Windows drawing and windows.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>

#include "ui/Application.h"
#include "ui/Forms.h"
#include "ui/headless/HeadlessBackend.h"
#include "ui/win32/Win32Backend.h"
#include "ui/win32/Win32Canvas.h"

// The Windows backend, with the test's own call after each round of
// message handling: how a test looks in, or acts, at every step of a run
// that lets the window's messages through.
class TWatchedWin32Backend : public TWin32Backend {
 public:
  void ProcessMessages() override {
    TWin32Backend::ProcessMessages();
    if (AfterMessages) AfterMessages();
  }
  std::function<void()> AfterMessages;
};

// A memory bitmap of the given size with a GDI canvas on it, read back pixel
// by pixel. It starts in a colour that no drawing uses, neither white nor
// black, so that a pixel left alone cannot pass for a painted one.
template <int Width, int Height>
class GdiBitmapTest : public ::testing::Test {
 protected:
  static constexpr int kWidth = Width;
  static constexpr int kHeight = Height;
  static constexpr TColor kUnpainted = RGB(90, 140, 170);

  void SetUp() override {
    dc.reset(::CreateCompatibleDC(nullptr));
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    bitmap.reset(::CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    ASSERT_TRUE(bitmap);
    ::SelectObject(dc.get(), bitmap.get());
    canvas = std::make_unique<TWin32Canvas>(dc.get());
    canvas->Brush.Color = kUnpainted;
    canvas->FillRect({0, 0, kWidth, kHeight});
    canvas->Brush = TBrush();
  }
  TColor At(int x, int y) {
    const COLORREF c = ::GetPixel(dc.get(), x, y);
    return RGB(GetRValue(c), GetGValue(c), GetBValue(c));
  }
  TMemoryDc dc;
  TGdiObject bitmap;
  std::unique_ptr<TWin32Canvas> canvas;
};

// One form on the Windows backend. The portable tests that run afterwards
// get a headless backend again.
template <int Width, int Height>
class Win32FormTest : public ::testing::Test {
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
    form->SetBounds(10, 10, Width, Height);
  }
  void TearDown() override {
    form.reset();
    if (dynamic_cast<TWin32Backend*>(&Application().Backend()))
      Application().SetBackend(std::make_unique<THeadlessBackend>());
  }
  static HWND Hwnd(const TWinControl* c) { return static_cast<HWND>(c->Handle()); }
  std::unique_ptr<TForm> form;
};
