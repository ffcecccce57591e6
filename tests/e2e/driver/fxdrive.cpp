// The end-to-end tests' hands and eyes inside Wine: a console program that
// finds the setup program's windows by the texts a user reads on them, acts
// on them with the mouse and keyboard as a user would, and reports what it
// sees on standard output. Every waiting command gives up after its timeout
// (milliseconds, 20000 when not given) with exit code 1; bad usage gives 2.
//
//   fxdrive wait-window CAPTION [TIMEOUT]   a visible top-level window
//   fxdrive wait-text TEXT [TIMEOUT]        a visible window showing TEXT
//   fxdrive click TEXT [TIMEOUT]            mouse click on the enabled control showing TEXT
//   fxdrive checked TEXT [TIMEOUT]          prints "checked" or "unchecked" for the check box showing TEXT
//   fxdrive set-edit N TEXT                 replaces the text of the N-th visible edit (from 0)
//   fxdrive message-box [TIMEOUT]           prints the caption and text of a message box
//   fxdrive answer BUTTON [TIMEOUT]         clicks a message box's button
//   fxdrive combo [TIMEOUT]                 prints the items of the visible combo box, the chosen
//                                           one's index and whether it has the keyboard focus
//   fxdrive hold FILE RELEASE [TIMEOUT]     holds FILE open as a running program holds its own
//                                           file (others may read it, not write, move or delete
//                                           it) until the file RELEASE exists
//   fxdrive run COMMANDLINE [TIMEOUT]       starts a program with exactly that command line, as
//                                           the product starts an update, and prints its exit code
//   fxdrive close CAPTION [TIMEOUT]         closes the top-level window CAPTION once it shows,
//                                           printing whether it was maximised
//   fxdrive time-text TEXT [TIMEOUT]        like wait-text, but looks every few milliseconds and
//                                           prints when the text showed, in seconds since 1970
//   fxdrive list                            prints every visible window, for diagnosis
//   fxdrive start COMMANDLINE               starts a program as the system starts a registered command
//
// Texts match as shown: "&" accelerator marks are ignored on both sides.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr DWORD kDefaultTimeout = 20000;

std::string WindowText(HWND window) {
  char buffer[1024] = {};
  // WM_GETTEXT rather than GetWindowText: it reads other processes' controls too.
  SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                      SMTO_ABORTIFHUNG, 2000, nullptr);
  return buffer;
}

std::string ClassOf(HWND window) {
  char buffer[256] = {};
  GetClassNameA(window, buffer, sizeof buffer);
  return buffer;
}

// The text as the user sees it: "&&" is one "&", a single "&" only underlines.
std::string Shown(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    out += text[i];
  }
  return out;
}

BOOL CALLBACK AddVisibleChild(HWND child, LPARAM list) {
  if (IsWindowVisible(child)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
  return TRUE;
}

BOOL CALLBACK AddVisibleTop(HWND top, LPARAM list) {
  if (!IsWindowVisible(top)) return TRUE;
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(top);
  EnumChildWindows(top, AddVisibleChild, list);
  return TRUE;
}

// Every visible window, top-level ones and their descendants, in z-order.
std::vector<HWND> VisibleWindows() {
  std::vector<HWND> found;
  EnumWindows(AddVisibleTop, reinterpret_cast<LPARAM>(&found));
  return found;
}

HWND Poll(DWORD timeout, const std::function<HWND()>& find) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (HWND window = find()) return window;
    if (GetTickCount() - start >= timeout) return nullptr;
    Sleep(100);
  }
}

HWND FindShowing(const std::string& text, bool enabledOnly) {
  const std::string wanted = Shown(text);
  for (HWND window : VisibleWindows())
    if (Shown(WindowText(window)) == wanted && (!enabledOnly || IsWindowEnabled(window)))
      return window;
  return nullptr;
}

HWND FindMessageBox() {
  for (HWND window : VisibleWindows())
    // Top-level: a message box with an owner window has that owner as its "parent".
    if (ClassOf(window) == "#32770" && !(GetWindowLongA(window, GWL_STYLE) & WS_CHILD)) return window;
  return nullptr;
}

void ClickAt(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  SetForegroundWindow(GetAncestor(window, GA_ROOT));
  // Every event carries the place itself: a button press sent right after a
  // pointer warp may otherwise land where the pointer was before.
  const int x = (r.left + r.right) / 2;
  const int y = (r.top + r.bottom) / 2;
  const LONG ax = static_cast<LONG>((x * 65535LL) / (GetSystemMetrics(SM_CXSCREEN) - 1));
  const LONG ay = static_cast<LONG>((y * 65535LL) / (GetSystemMetrics(SM_CYSCREEN) - 1));
  SetCursorPos(x, y);
  const DWORD flags[3] = {MOUSEEVENTF_MOVE, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP};
  for (DWORD flag : flags) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = ax;
    input.mi.dy = ay;
    input.mi.dwFlags = flag | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof(INPUT));
    Sleep(50);
  }
}

DWORD TimeoutArg(int argc, char** argv, int index) {
  return argc > index ? std::strtoul(argv[index], nullptr, 10) : kDefaultTimeout;
}

int Fail(const std::string& what) {
  std::printf("%s\n", what.c_str());
  return 1;
}

int WaitWindow(const std::string& caption, DWORD timeout) {
  HWND window = Poll(timeout, [&] {
    HWND w = FindWindowA(nullptr, caption.c_str());
    return (w && IsWindowVisible(w)) ? w : nullptr;
  });
  if (!window) return Fail("no window " + caption);
  RECT r;
  GetWindowRect(window, &r);
  std::printf("window %s at %ld,%ld size %ldx%ld\n", caption.c_str(), r.left, r.top,
              r.right - r.left, r.bottom - r.top);
  return 0;
}

int WaitText(const std::string& text, DWORD timeout) {
  if (!Poll(timeout, [&] { return FindShowing(text, false); })) return Fail("no text " + text);
  std::printf("text %s\n", text.c_str());
  return 0;
}

// For the benchmark's timings: the system clock is the host's under Wine,
// so the time printed compares with the host's own clock.
int TimeText(const std::string& text, DWORD timeout) {
  const DWORD start = GetTickCount();
  while (!FindShowing(text, false)) {
    if (GetTickCount() - start >= timeout) return Fail("no text " + text);
    Sleep(2);
  }
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  const unsigned long long ticks = (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  // 100-ns ticks since 1601; 11,644,473,600 s lie between 1601 and 1970.
  std::printf("at %.4f\n", static_cast<double>(ticks) / 1e7 - 11644473600.0);
  return 0;
}

int Click(const std::string& text, DWORD timeout) {
  HWND target = Poll(timeout, [&] { return FindShowing(text, true); });
  if (!target) return Fail("nothing to click showing " + text);
  ClickAt(target);
  std::printf("clicked %s\n", text.c_str());
  return 0;
}

int Checked(const std::string& text, DWORD timeout) {
  HWND box = Poll(timeout, [&]() -> HWND {
    HWND w = FindShowing(text, false);
    return (w && ClassOf(w) == "Button") ? w : nullptr;
  });
  if (!box) return Fail("no check box " + text);
  const LRESULT state = SendMessageA(box, BM_GETCHECK, 0, 0);
  std::printf("%s\n", state == BST_CHECKED ? "checked" : "unchecked");
  return 0;
}

int SetEdit(int index, const std::string& text) {
  int seen = 0;
  for (HWND window : VisibleWindows()) {
    if (ClassOf(window) != "Edit" || seen++ != index) continue;
    SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    std::printf("edit %d = %s\n", index, text.c_str());
    return 0;
  }
  return Fail("no edit " + std::to_string(index));
}

int ShowMessageBox(DWORD timeout) {
  HWND box = Poll(timeout, FindMessageBox);
  if (!box) return Fail("no message box");
  std::printf("caption %s\n", WindowText(box).c_str());
  // The message is the static control with text; the icon has none.
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (ClassOf(child) == "Static" && !WindowText(child).empty())
      std::printf("text %s\n", WindowText(child).c_str());
  return 0;
}

int Answer(const std::string& button, DWORD timeout) {
  HWND target = Poll(timeout, [&]() -> HWND {
    HWND box = FindMessageBox();
    if (!box) return nullptr;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
      if (ClassOf(child) == "Button" && Shown(WindowText(child)) == Shown(button)) return child;
    return nullptr;
  });
  if (!target) return Fail("no message box with button " + button);
  // The button's own click: a message box may sit under another window.
  SendMessageA(target, BM_CLICK, 0, 0);
  std::printf("answered %s\n", button.c_str());
  return 0;
}

int Combo(DWORD timeout) {
  HWND box = Poll(timeout, []() -> HWND {
    for (HWND window : VisibleWindows())
      if (ClassOf(window) == "ComboBox") return window;
    return nullptr;
  });
  if (!box) return Fail("no combo box");
  const LRESULT count = SendMessageA(box, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    // Wide: Wine hands the item of another process's list over in its
    // Unicode form whichever message form asks for it.
    wchar_t item[1024] = {};
    if (SendMessageW(box, CB_GETLBTEXTLEN, static_cast<WPARAM>(i), 0) < 1024)
      SendMessageW(box, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
    char text[2048] = {};
    WideCharToMultiByte(CP_ACP, 0, item, -1, text, sizeof text, nullptr, nullptr);
    std::printf("item %s\n", text);
  }
  std::printf("selected %ld\n", static_cast<long>(SendMessageA(box, CB_GETCURSEL, 0, 0)));
  // The focus of another program's thread.
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(box, nullptr), &info);
  std::printf("focused %s\n", info.hwndFocus == box ? "yes" : "no");
  return 0;
}

int Hold(const std::string& file, const std::string& release, DWORD timeout) {
  HANDLE held = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  if (held == INVALID_HANDLE_VALUE) return Fail("cannot open " + file);
  std::printf("held %s\n", file.c_str());
  std::fflush(stdout);
  const DWORD start = GetTickCount();
  bool released = false;
  while (!(released = GetFileAttributesA(release.c_str()) != INVALID_FILE_ATTRIBUTES) &&
         GetTickCount() - start < timeout)
    Sleep(100);
  CloseHandle(held);
  if (!released) return Fail("not released in time: " + file);
  std::printf("released %s\n", file.c_str());
  return 0;
}

int RunProgram(const std::string& commandLine, DWORD timeout) {
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  // No standard handles: the program, and the product it starts, must not
  // keep this driver's output open after it has ended.
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process))
    return Fail("cannot start " + commandLine);
  CloseHandle(process.hThread);
  const DWORD waited = WaitForSingleObject(process.hProcess, timeout);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  if (waited != WAIT_OBJECT_0) return Fail("still running: " + commandLine);
  std::printf("exit %lu\n", code);
  return 0;
}

int Close(const std::string& caption, DWORD timeout) {
  HWND window = Poll(timeout, [&] {
    HWND w = FindWindowA(nullptr, caption.c_str());
    return (w && IsWindowVisible(w)) ? w : nullptr;
  });
  if (!window) return Fail("no window " + caption);
  const bool maximised = IsZoomed(window);
  PostMessageA(window, WM_CLOSE, 0, 0);
  const DWORD start = GetTickCount();
  while (IsWindow(window)) {
    if (GetTickCount() - start >= timeout) return Fail("window stays: " + caption);
    Sleep(100);
  }
  std::printf("closed %s %s\n", caption.c_str(), maximised ? "maximised" : "normal");
  return 0;
}

int List() {
  for (HWND window : VisibleWindows()) {
    RECT r;
    GetWindowRect(window, &r);
    std::printf("%p parent %p class %s text \"%s\" at %ld,%ld size %ldx%ld%s\n",
                static_cast<void*>(window), static_cast<void*>(GetParent(window)),
                ClassOf(window).c_str(), WindowText(window).c_str(), r.left, r.top,
                r.right - r.left, r.bottom - r.top, IsWindowEnabled(window) ? "" : " disabled");
  }
  return 0;
}

// As the system's list of programs runs an "UninstallString": the command
// line as it stands, the program path quoted when it holds blanks.
int Start(const std::string& commandLine) {
  std::string line = commandLine;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return Fail("cannot start " + commandLine + " (error " + std::to_string(GetLastError()) + ")");
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  std::printf("started %s\n", commandLine.c_str());
  return 0;
}

int Usage() {
  std::fprintf(stderr,
               "usage: fxdrive wait-window CAPTION [TIMEOUT] | wait-text TEXT [TIMEOUT] | time-text TEXT [TIMEOUT] |\n"
               "       click TEXT [TIMEOUT] | checked TEXT [TIMEOUT] | set-edit N TEXT | message-box [TIMEOUT] |\n"
               "       answer BUTTON [TIMEOUT] | combo [TIMEOUT] | hold FILE RELEASE [TIMEOUT] |\n"
               "       run COMMANDLINE [TIMEOUT] | close CAPTION [TIMEOUT] | list | start COMMANDLINE\n");
  return 2;
}

int Run(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string command = argv[1];
  if (command == "wait-window" && argc >= 3) return WaitWindow(argv[2], TimeoutArg(argc, argv, 3));
  if (command == "wait-text" && argc >= 3) return WaitText(argv[2], TimeoutArg(argc, argv, 3));
  if (command == "time-text" && argc >= 3) return TimeText(argv[2], TimeoutArg(argc, argv, 3));
  if (command == "click" && argc >= 3) return Click(argv[2], TimeoutArg(argc, argv, 3));
  if (command == "checked" && argc >= 3) return Checked(argv[2], TimeoutArg(argc, argv, 3));
  if (command == "set-edit" && argc == 4) return SetEdit(std::atoi(argv[2]), argv[3]);
  if (command == "message-box") return ShowMessageBox(TimeoutArg(argc, argv, 2));
  if (command == "answer" && argc >= 3) return Answer(argv[2], TimeoutArg(argc, argv, 3));
  if (command == "close" && argc >= 3) return Close(argv[2], TimeoutArg(argc, argv, 3));
  if (command == "combo") return Combo(TimeoutArg(argc, argv, 2));
  if (command == "hold" && argc >= 4) return Hold(argv[2], argv[3], TimeoutArg(argc, argv, 4));
  if (command == "run" && argc >= 3) return RunProgram(argv[2], TimeoutArg(argc, argv, 3));
  if (command == "list" && argc == 2) return List();
  if (command == "start" && argc == 3) return Start(argv[2]);
  return Usage();
}

}  // namespace

int main(int argc, char** argv) {
  // Positions and sizes as the screen shows them, on a dense screen too.
  using TSetAware = BOOL(WINAPI*)();
  if (auto aware = reinterpret_cast<TSetAware>(
          reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "SetProcessDPIAware"))))
    aware();
  const int status = Run(argc, argv);
  std::fflush(stdout);
  return status;
}
