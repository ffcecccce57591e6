// The end-to-end tests' hands and eyes inside Wine: a console program that
// finds the setup program's windows by their text, as a user would read
// them, and reports what it sees on standard output.
//
//   fxdrive wait-window CAPTION [TIMEOUT_MS]   waits until a visible top-level
//                                              window with that caption exists
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int Usage() {
  std::fprintf(stderr, "usage: fxdrive wait-window CAPTION [TIMEOUT_MS]\n");
  return 2;
}

HWND FindVisibleTopWindow(const std::string& caption) {
  HWND window = FindWindowA(nullptr, caption.c_str());
  return (window && IsWindowVisible(window)) ? window : nullptr;
}

int WaitWindow(const std::string& caption, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (HWND window = FindVisibleTopWindow(caption)) {
      RECT r;
      GetWindowRect(window, &r);
      std::printf("window %s at %ld,%ld size %ldx%ld\n", caption.c_str(), r.left, r.top,
                  r.right - r.left, r.bottom - r.top);
      return 0;
    }
    if (GetTickCount() - start >= timeoutMs) {
      std::printf("no window %s after %lu ms\n", caption.c_str(), timeoutMs);
      return 1;
    }
    Sleep(100);
  }
}

}  // namespace

int main(int argc, char** argv) {
  int status = 2;
  if (argc >= 3 && std::strcmp(argv[1], "wait-window") == 0) {
    const DWORD timeout = argc >= 4 ? std::strtoul(argv[3], nullptr, 10) : 20000;
    status = WaitWindow(argv[2], timeout);
  } else {
    status = Usage();
  }
  std::fflush(stdout);
  return status;
}
