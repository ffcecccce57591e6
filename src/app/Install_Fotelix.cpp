// Program entry of the setup program: the main window, empty until the
// wizard pages are put on it.
#include <windows.h>

namespace {

const char kMainCaption[] = "Install Fotelix 2.12";
const char kMainClass[] = "TFormMain";
constexpr int kClientWidth = 780;
constexpr int kClientHeight = 509;
constexpr COLORREF kWindowColour = 0xFF0000;  // blue

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  HBRUSH background = CreateSolidBrush(kWindowColour);
  WNDCLASSA wc = {};
  wc.lpfnWndProc = MainWindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = background;
  wc.lpszClassName = kMainClass;
  if (!RegisterClassA(&wc)) return 1;

  // A fixed dialog border without any title-bar buttons.
  const DWORD style = WS_POPUP | WS_CAPTION | WS_DLGFRAME;
  const DWORD exStyle = WS_EX_DLGMODALFRAME;
  RECT frame = {0, 0, kClientWidth, kClientHeight};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;

  HWND window = CreateWindowExA(exStyle, kMainClass, kMainCaption, style, left, top, width,
                                height, nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  ShowWindow(window, show);
  UpdateWindow(window);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  DeleteObject(background);
  return 0;
}
