// A stand-in for the product that the setup program carries: a window
// titled "Fotelix" that shows its version and what it finds in the settings
// file that setup wrote, so that an install can be seen to work.
#include <windows.h>

#include <string>
#include <vector>

#include "Version.h"
#include "install/SettingsFileReader.h"
#include "platform/Path.h"
#include "platform/win32/Win32Platform.h"

namespace {

const char kWindowClass[] = "TFotelixMain";
// In 96-DPI pixels. The program tells Windows that it scales for the screen
// itself, so that its text is not blurred: the system's font is already as
// large as the screen's DPI asks, and the layout follows it.
constexpr int kMargin = 12;
constexpr int kLineHeight = 18;
constexpr int kWidth = 640;

int ScreenDpi() {
  const HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

// One line per text, each its own static control, so that the texts can be
// read back from outside as well as seen.
std::vector<std::string> Lines(const TProductSettings& settings) {
  std::vector<std::string> lines = {std::string("Fotelix ") + kFotelixVersion, ""};
  if (!settings.Problem.empty()) {
    lines.push_back(settings.Problem);
    return lines;
  }
  lines.push_back("Settings file: " + settings.Path);
  lines.push_back("Edition: " + settings.Edition);
  lines.push_back("Download folder: " + settings.DownloadDir);
  lines.push_back("Cache folder: " + settings.CacheDir);
  lines.push_back("Performance: " + settings.Performance);
  lines.push_back("");
  lines.push_back("Named defaults:");
  for (const auto& pair : settings.Named) lines.push_back("    " + pair.first + " = " + pair.second);
  return lines;
}

void AddLines(HWND window, HINSTANCE instance, const std::vector<std::string>& lines, int dpi) {
  const HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  const int margin = MulDiv(kMargin, dpi, 96);
  int top = margin;
  for (const std::string& line : lines) {
    // A problem is one long sentence: it gets room for three lines.
    const int height = MulDiv(line.size() > 90 ? 3 * kLineHeight : kLineHeight, dpi, 96);
    HWND label = CreateWindowExA(0, "STATIC", line.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX,
                                 margin, top, MulDiv(kWidth, dpi, 96) - 2 * margin, height, window, nullptr,
                                 instance, nullptr);
    SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    top += height;
  }
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  TWin32Platform os;
  TProductSettings settings;
  try {
    settings = LoadProductSettings(os, ExtractFilePath(os.ProgramPath()));
  } catch (const std::exception& e) {
    settings.Problem = std::string("The settings cannot be read: ") + e.what();
  }
  const std::vector<std::string> lines = Lines(settings);

  WNDCLASSA wc = {};
  wc.lpfnWndProc = MainWindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kWindowClass;
  if (!RegisterClassA(&wc)) return 1;

  const int dpi = ScreenDpi();
  RECT frame = {0, 0, MulDiv(kWidth, dpi, 96),
                MulDiv(2 * kMargin + kLineHeight * (static_cast<int>(lines.size()) + 2), dpi, 96)};
  AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
  HWND window = CreateWindowExA(0, kWindowClass, "Fotelix", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr, instance,
                                nullptr);
  if (!window) return 1;
  AddLines(window, instance, lines, dpi);
  ShowWindow(window, show);
  UpdateWindow(window);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return static_cast<int>(msg.wParam);
}
