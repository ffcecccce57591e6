#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "ui/Application.h"
#include "ui/ExtCtrls.h"
#include "ui/FileCtrl.h"
#include "ui/Forms.h"
#include "ui/Menus.h"
#include "ui/StdCtrls.h"
#include "ui/headless/HeadlessBackend.h"
#include "ui/win32/Win32Backend.h"
#include "ui/win32/Win32Canvas.h"
#include "platform/win32/Win32Platform.h"
#include "win32/Win32Fixtures.h"

#include <commctrl.h>

namespace {

class UiWin32 : public Win32FormTest<300, 200> {
 protected:
  template <class T>
  T* Make() {
    T* c = form->Create<T>();
    c->SetParent(form.get());
    return c;
  }
};

using UiWin32Canvas = GdiBitmapTest<40, 30>;
using UiWin32ScaledCanvas = GdiBitmapTest<48, 40>;

TEST_F(UiWin32Canvas, FillsLinesAndBitmapsLandWhereTold) {
  canvas->Brush.Color = clRed;
  canvas->FillRect({2, 2, 5, 5});
  canvas->Pen.Color = clBlue;
  canvas->MoveTo(10, 0);
  canvas->LineTo(10, 10);
  TBitmap glyph(3, 1, clFuchsia);
  glyph.SetPixel(1, 0, clLime);
  canvas->DrawTransparent(20, 20, glyph, clFuchsia);
  TBitmap tile(2, 2, clNavy);
  canvas->StretchDraw({30, 20, 34, 24}, tile);
  EXPECT_EQ(At(2, 2), clRed);
  EXPECT_EQ(At(4, 4), clRed);
  EXPECT_EQ(At(5, 5), kUnpainted);  // right and bottom are outside
  EXPECT_EQ(At(10, 9), clBlue);
  EXPECT_EQ(At(10, 10), kUnpainted);  // the end point is not drawn
  EXPECT_EQ(At(20, 20), kUnpainted);  // the transparent colour left out
  EXPECT_EQ(At(21, 20), clLime);
  EXPECT_EQ(At(33, 23), clNavy);
}

TEST_F(UiWin32Canvas, TextFollowsThePlatformRules) {
  canvas->Font.Height = 11;
  TRect one{0, 0, 1000, 0};
  canvas->DrawText("&Next", one, dtSingleLine | dtCalcRect);
  TRect plain{0, 0, 1000, 0};
  canvas->DrawText("Next", plain, dtSingleLine | dtCalcRect);
  EXPECT_EQ(one.Width(), plain.Width());  // the mark takes no room
  EXPECT_GT(one.Height(), 0);
  TRect wrapped{0, 0, plain.Width() + 2, 0};
  const int height = canvas->DrawText("Next Next Next", wrapped, dtWordBreak | dtCalcRect);
  EXPECT_EQ(height, 3 * one.Height());
}

// At 144 DPI every layout pixel covers one and a half device pixels: fills
// and straight lines cover whole cells, a glyph keeps its shown pixels with
// smooth edges, a picture fills its scaled place, and text measures about as
// much layout as at 96 DPI, being drawn in a font of the device's size.
TEST_F(UiWin32ScaledCanvas, LayoutPixelsCoverTheirDevicePixels) {
  TWin32Canvas scaled(dc.get(), TDpiScale(144));
  scaled.Brush.Color = clRed;
  scaled.FillRect({2, 2, 5, 5});  // device 3 to 8
  scaled.Pen.Color = clBlue;
  scaled.MoveTo(10, 0);
  scaled.LineTo(10, 4);  // device columns 15 and 16, rows 0 to 6
  scaled.Pen.Color = clRed;
  scaled.LineTo(7, 4);  // backwards: layout 8 to 10, device 12 to 17
  TBitmap glyph(2, 2, clFuchsia);
  glyph.SetPixel(1, 0, clLime);
  scaled.DrawTransparent(20, 10, glyph, clFuchsia);  // device 30 to 33, 15 to 18
  TBitmap tile(2, 2, clNavy);
  scaled.StretchDraw({24, 20, 26, 22}, tile);  // device 36 to 39, 30 to 33
  EXPECT_EQ(At(2, 2), kUnpainted);
  EXPECT_EQ(At(3, 3), clRed);
  EXPECT_EQ(At(7, 7), clRed);
  EXPECT_EQ(At(8, 8), kUnpainted);
  EXPECT_EQ(At(15, 5), clBlue);
  EXPECT_EQ(At(16, 5), clBlue);
  EXPECT_EQ(At(17, 0), kUnpainted);
  EXPECT_EQ(At(15, 6), clRed);
  EXPECT_EQ(At(12, 6), clRed);
  EXPECT_EQ(At(11, 6), kUnpainted);
  EXPECT_EQ(At(30, 15), kUnpainted);
  EXPECT_EQ(At(32, 15), clLime);
  EXPECT_NE(At(31, 15), kUnpainted);  // half covered: mixed
  EXPECT_NE(At(31, 15), clLime);
  EXPECT_EQ(At(32, 17), kUnpainted);
  EXPECT_EQ(At(36, 30), clNavy);
  EXPECT_EQ(At(38, 32), clNavy);
  EXPECT_EQ(At(39, 33), kUnpainted);

  canvas->Font.Height = scaled.Font.Height = 11;
  TRect plain{0, 0, 1000, 0};
  canvas->DrawText("Choose installation folder", plain, dtSingleLine | dtCalcRect);
  TRect big{0, 0, 1000, 0};
  scaled.DrawText("Choose installation folder", big, dtSingleLine | dtCalcRect);
  EXPECT_NEAR(big.Width(), plain.Width(), plain.Width() / 5);
  EXPECT_NEAR(big.Height(), plain.Height(), 3);
  EXPECT_EQ(scaled.TextExtent("Choose installation folder").X, big.Width());
}

TEST_F(UiWin32, WindowsMirrorTheControls) {
  TEdit* edit = Make<TEdit>();
  edit->SetBounds(5, 5, 100, 21);
  edit->SetText("C:\\Program Files\\Fotelix\\");
  TCheckBox* box = Make<TCheckBox>();
  box->SetChecked(true);
  TProgressBar* bar = Make<TProgressBar>();
  bar->SetPosition(42);
  TComboBox* combo = Make<TComboBox>();
  combo->SetItems({"c:", "d:"});
  combo->SetItemIndex(1);
  ASSERT_NE(Hwnd(edit), nullptr);
  // A bar's new position may wait for the end of a screen frame.
  ::Sleep(20);
  Application().ProcessMessages();
  char text[64] = {};
  ::GetWindowTextA(Hwnd(edit), text, sizeof text);
  EXPECT_STREQ(text, "C:\\Program Files\\Fotelix\\");
  EXPECT_EQ(::SendMessageA(Hwnd(box), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(::SendMessageA(Hwnd(bar), PBM_GETPOS, 0, 0), 42);
  EXPECT_EQ(::SendMessageA(Hwnd(combo), CB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(::SendMessageA(Hwnd(combo), CB_GETCURSEL, 0, 0), 1);
  RECT r;
  ::GetWindowRect(Hwnd(edit), &r);
  EXPECT_EQ(r.right - r.left, 100);
  EXPECT_EQ(::GetParent(Hwnd(edit)), Hwnd(form.get()));
}

// What a window draws of its client area, pixel by pixel.
std::vector<uint32_t> Drawn(HWND window) {
  RECT r;
  ::GetClientRect(window, &r);
  TMemoryDc dc(::CreateCompatibleDC(nullptr));
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), r.right, -r.bottom, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  TGdiObject bitmap(::CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  TSelection use(dc.get(), bitmap.get());
  ::SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT | PRF_ERASEBKGND);
  ::GdiFlush();
  const auto* first = static_cast<const uint32_t*>(bits);
  return std::vector<uint32_t>(first, first + r.right * r.bottom);
}

// The native bar is told only the positions that change what it shows, at
// most once a screen frame; a bar told every position shows the same.
TEST_F(UiWin32, TheProgressBarLooksAsIfToldEveryPosition) {
  TProgressBar* bar = Make<TProgressBar>();
  TWindowHandle told(::CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | PBS_SMOOTH, 0, 0, 0, 0,
                                       Hwnd(form.get()), nullptr, nullptr, nullptr));
  struct Run {
    int width, max, from, to, step;
  };
  // Pieces of an install, a range that cuts the position, a way back down,
  // and a bar resized halfway.
  for (const Run& run : {Run{157, 530 * 1024, 0, 530 * 1024, 1024}, Run{157, 100, 100, 0, -3},
                         Run{93, 100000, 0, 99999, 271}}) {
    bar->SetBounds(10, 10, run.width, 17);
    ::MoveWindow(told.get(), 10, 40, run.width, 17, FALSE);
    bar->SetMax(run.max);
    ::SendMessageA(told.get(), PBM_SETRANGE32, 0, run.max);
    int steps = 0;
    for (int p = run.from; run.step > 0 ? p <= run.to : p >= run.to; p += run.step, ++steps) {
      bar->SetPosition(p);
      ::SendMessageA(told.get(), PBM_SETPOS, static_cast<WPARAM>(p), 0);
      ASSERT_EQ(bar->Position(), p);
      // Within a screen frame the bar may lag; once the frame is over it
      // shows the last position, with the messages processed as usual.
      const bool last = run.step > 0 ? p + run.step > run.to : p + run.step < run.to;
      if (steps % 50 != 0 && !last) continue;
      const DWORD until = ::GetTickCount() + 200;
      while (Drawn(Hwnd(bar)) != Drawn(told.get()) && ::GetTickCount() < until) {
        ::Sleep(5);
        Application().ProcessMessages();
      }
      ASSERT_EQ(Drawn(Hwnd(bar)), Drawn(told.get())) << "at " << p << " of " << run.max;
    }
  }
  bar->SetPosition(100000);
  EXPECT_EQ(::SendMessageA(Hwnd(bar), PBM_GETPOS, 0, 0), 100000);
}

TEST_F(UiWin32, TypedTextAndClicksComeBackThroughTheControls) {
  TEdit* edit = Make<TEdit>();
  TButton* button = Make<TButton>();
  button->SetCaption("&Next");
  int clicks = 0;
  std::string changed;
  button->OnClick = [&](TObject*) { ++clicks; };
  edit->OnChange = [&](TObject*) { changed = edit->Text(); };
  ::SetWindowTextA(Hwnd(edit), "typed");
  EXPECT_EQ(edit->Text(), "typed");
  EXPECT_EQ(changed, "typed");
  ::SendMessageA(Hwnd(button), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 1);
  // A click toggles a check box and checks a radio button, clicked twice too.
  TCheckBox* box = Make<TCheckBox>();
  TRadioButton* radio = Make<TRadioButton>();
  for (int i = 0; i < 2; ++i) {
    ::SendMessageA(Hwnd(box), BM_CLICK, 0, 0);
    ::SendMessageA(Hwnd(radio), BM_CLICK, 0, 0);
  }
  EXPECT_FALSE(box->Checked());
  EXPECT_TRUE(radio->Checked());
  EXPECT_EQ(::SendMessageA(Hwnd(radio), BM_GETCHECK, 0, 0), BST_CHECKED);
  // Alt+N as the keyboard gives it to the focused window.
  form->Show();
  ::PostMessageA(Hwnd(edit), WM_SYSCHAR, 'n', 0);
  Application().ProcessMessages();
  EXPECT_EQ(clicks, 2);
  // A plain "n" typed into the field is text, not an accelerator.
  ::PostMessageA(Hwnd(edit), WM_CHAR, 'n', 0);
  Application().ProcessMessages();
  EXPECT_EQ(clicks, 2);
}

TEST_F(UiWin32, ClicksReachGraphicControlsThroughTheirParent) {
  TLabel* label = Make<TLabel>();
  label->SetCaption("&Next");
  label->SetBounds(40, 30, label->Width(), label->Height());
  int clicks = 0;
  int formClicks = 0;
  label->OnClick = [&](TObject*) { ++clicks; };
  form->OnClick = [&](TObject*) { ++formClicks; };
  form->Show();
  const LPARAM inside = MAKELPARAM(42, 32);
  const LPARAM outside = MAKELPARAM(5, 5);
  ::SendMessageA(Hwnd(form.get()), WM_LBUTTONDOWN, MK_LBUTTON, inside);
  ::SendMessageA(Hwnd(form.get()), WM_LBUTTONUP, 0, inside);
  ::SendMessageA(Hwnd(form.get()), WM_LBUTTONDOWN, MK_LBUTTON, outside);
  ::SendMessageA(Hwnd(form.get()), WM_LBUTTONUP, 0, inside);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(formClicks, 1);
}

TEST_F(UiWin32, TransparentWordsOverAPictureKeepThePictureAround) {
  TImage* image = Make<TImage>();
  image->SetBounds(0, 0, 200, 100);
  image->SetPicture(TBitmap(4, 4, clBlue));
  image->SetStretch(true);
  TLabel* word = Make<TLabel>();
  TFont font = form->Font();
  font.Height = 40;
  font.Style = fsBold;
  font.Color = clRed;
  word->SetFont(font);
  word->SetTransparent(true);
  word->SetCaption("WWW");
  word->SetBounds(10, 10, word->Width(), word->Height());
  form->Show();
  Application().ProcessMessages();
  ::RedrawWindow(Hwnd(form.get()), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  HDC dc = ::GetDC(Hwnd(form.get()));
  int red = 0;
  int blue = 0;
  for (int y = word->Top(); y < word->Top() + word->Height(); ++y)
    for (int x = word->Left(); x < word->Left() + word->Width(); ++x) {
      const COLORREF c = ::GetPixel(dc, x, y);
      if (c == 0x0000FF) ++red;
      if (c == 0xFF0000) ++blue;
    }
  const COLORREF beside = ::GetPixel(dc, 190, 90);
  ::ReleaseDC(Hwnd(form.get()), dc);
  if (beside == CLR_INVALID) GTEST_SKIP() << "the screen cannot be read back here";
  EXPECT_EQ(beside, 0xFF0000u);
  EXPECT_GT(red, 50);   // the letters
  EXPECT_GT(blue, 50);  // the picture between them: no background box
}

TEST_F(UiWin32, WholeWindowOpacity) {
  form->Show();
  form->SetAlphaBlend(true);
  form->SetAlphaBlendValue(8);
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(::GetWindowLongA(Hwnd(form.get()), GWL_EXSTYLE) & WS_EX_LAYERED);
  ASSERT_TRUE(::GetLayeredWindowAttributes(Hwnd(form.get()), nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 8);
  EXPECT_TRUE(flags & LWA_ALPHA);
  form->SetAlphaBlend(false);
  EXPECT_FALSE(::GetWindowLongA(Hwnd(form.get()), GWL_EXSTYLE) & WS_EX_LAYERED);
}

TEST_F(UiWin32, TabMovesTheFocusIntoNestedPanels) {
  TEdit* first = Make<TEdit>();
  TPanel* panel = Make<TPanel>();
  panel->SetBounds(0, 50, 200, 100);
  TEdit* second = form->Create<TEdit>();
  second->SetParent(panel);
  std::vector<std::string> log;
  first->OnExit = [&](TObject*) { log.push_back("exit first"); };
  second->OnEnter = [&](TObject*) { log.push_back("enter second"); };
  first->SetFocus();  // before the window shows: the focus waits for it
  form->Show();
  Application().ProcessMessages();
  EXPECT_TRUE(first->Focused());
  ::PostMessageA(Hwnd(first), WM_KEYDOWN, VK_TAB, 0);
  Application().ProcessMessages();
  EXPECT_TRUE(second->Focused());
  EXPECT_EQ(log, (std::vector<std::string>{"exit first", "enter second"}));
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM to) {
  reinterpret_cast<std::vector<HWND>*>(to)->push_back(window);
  return TRUE;
}

// The windows of a hidden page are made when it first shows, born with
// what their controls were told meanwhile, in the controls' order (the Tab
// order), and made once only.
TEST_F(UiWin32, AHiddenPanelsWindowsComeWhenItShows) {
  form->Show();
  TPanel* page = form->Create<TPanel>();
  page->SetVisible(false);
  page->SetParent(form.get());
  TEdit* edit = form->Create<TEdit>();
  edit->SetParent(page);
  edit->SetText("D:\\Pictures\\");
  TCheckBox* box = form->Create<TCheckBox>();
  box->SetParent(page);
  box->SetChecked(true);
  box->SetEnabled(false);
  const auto windows = [&] {
    std::vector<HWND> all;
    ::EnumChildWindows(Hwnd(form.get()), &CollectWindow, reinterpret_cast<LPARAM>(&all));
    return all;
  };
  EXPECT_TRUE(windows().empty());

  page->Show();
  const std::vector<HWND> shown = windows();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(::GetParent(shown[1]), shown[0]);
  EXPECT_EQ(::GetWindow(shown[0], GW_CHILD), shown[1]);
  EXPECT_EQ(::GetWindow(shown[1], GW_HWNDNEXT), shown[2]);
  char text[64] = {};
  ::GetWindowTextA(shown[1], text, sizeof text);
  EXPECT_STREQ(text, "D:\\Pictures\\");
  EXPECT_TRUE(::IsWindowVisible(shown[1]));
  EXPECT_EQ(::SendMessageA(shown[2], BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_FALSE(::IsWindowEnabled(shown[2]));
  EXPECT_EQ(Hwnd(edit), shown[1]);

  page->Hide();
  page->Show();
  EXPECT_EQ(windows(), shown);
}

TEST_F(UiWin32, NoExceptionLeavesAWindowProcedure) {
  std::vector<std::string> errors;
  Application().OnException = [&](TObject*, const std::exception& e) { errors.push_back(e.what()); };
  TButton* button = Make<TButton>();
  button->OnClick = [](TObject*) { throw std::runtime_error("from a click"); };
  ::SendMessageA(Hwnd(button), BM_CLICK, 0, 0);
  Application().OnException = nullptr;
  EXPECT_EQ(errors, std::vector<std::string>{"from a click"});
}

TEST_F(UiWin32, TimersAndCallsFromOtherThreadsRunFromTheLoop) {
  TTimer* timer = form->Create<TTimer>();
  std::atomic<int> ticks{0};
  timer->SetInterval(20);
  timer->SetOnTimer([&](TObject*) {
    if (++ticks == 2) timer->SetEnabled(false);
  });
  std::atomic<bool> synced{false};
  std::thread worker([&] { Application().Synchronize([&] { synced = true; }); });
  const DWORD start = ::GetTickCount();
  while ((ticks < 2 || !synced) && ::GetTickCount() - start < 5000) {
    Application().ProcessMessages();
    ::Sleep(5);
  }
  worker.join();
  EXPECT_EQ(ticks, 2);
  EXPECT_TRUE(synced);
}

TEST_F(UiWin32, FolderListReadsTheRealDisk) {
  char temp[MAX_PATH];
  ASSERT_GT(::GetTempPathA(MAX_PATH, temp), 0u);
  const std::string base = std::string(temp) + "fx_ui_folders";
  ::CreateDirectoryA(base.c_str(), nullptr);
  ::CreateDirectoryA((base + "\\Beta").c_str(), nullptr);
  ::CreateDirectoryA((base + "\\alpha").c_str(), nullptr);
  TWin32Platform platform;
  TDirectoryListBox* list = form->Create<TDirectoryListBox>(platform);
  list->SetParent(form.get());
  list->SetDirectory(base);
  std::vector<std::string> subs;
  for (const auto& item : list->Items())
    if (!item.Open) subs.push_back(item.Caption);
  EXPECT_EQ(subs, (std::vector<std::string>{"alpha", "Beta"}));
  EXPECT_EQ(::SendMessageA(Hwnd(list), LB_GETCOUNT, 0, 0), static_cast<LRESULT>(list->Items().size()));
  EXPECT_THROW(list->SetDirectory(base + "\\missing"), std::runtime_error);
  ::RemoveDirectoryA((base + "\\Beta").c_str());
  ::RemoveDirectoryA((base + "\\alpha").c_str());
  ::RemoveDirectoryA(base.c_str());
}

// Keys for the menu loop, sent from a timer while the menu is shown; after a
// while the menu is closed outright, so that a broken menu never hangs the run.
int g_menuTicks = 0;
void CALLBACK MenuKeys(HWND, UINT, UINT_PTR, DWORD) {
  HWND menu = ::FindWindowA("#32768", nullptr);
  ++g_menuTicks;
  if (menu && g_menuTicks == 2) {
    ::PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
    ::PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
  }
  if (g_menuTicks > 30) ::EndMenu();
}

TEST_F(UiWin32, APopupMenuRunsTheItemChosenByKeyboard) {
  TPopupMenu menu(nullptr);
  std::vector<std::string> ran;
  menu.Add("&One", [&](TObject*) { ran.push_back("one"); });
  menu.Add("-");
  menu.Add("&Two", [&](TObject*) { ran.push_back("two"); });
  g_menuTicks = 0;
  const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, MenuKeys);
  menu.Popup(40, 40);
  ::KillTimer(nullptr, timer);
  EXPECT_EQ(ran, (std::vector<std::string>{"one"}));
}

TEST_F(UiWin32, ClipboardKeepsPlainText) {
  try {
    Clipboard::SetAsText("disk full\r");
  } catch (const std::runtime_error&) {
    GTEST_SKIP() << "no clipboard without a display";
  }
  EXPECT_EQ(Clipboard::AsText(), "disk full\r");
}

}  // namespace
