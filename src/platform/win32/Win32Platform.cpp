#include "platform/win32/Win32Platform.h"

#include <windows.h>

#include <string>

#include "platform/win32/Win32Errors.h"
#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Security.h"

void RestrictDllSearchToSystemFolder() {
  HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
  if (!kernel) return;
  // Both calls are looked up: a program that imported either could not
  // start on the systems that lack it. Through void(*)() so that the casts
  // between function types are explicit.
  const auto find = [kernel](const char* name) {
    return reinterpret_cast<void (*)()>(::GetProcAddress(kernel, name));
  };
  using TSetDefaultDllDirectories = BOOL(WINAPI*)(DWORD);
  using TSetDllDirectory = BOOL(WINAPI*)(LPCSTR);
  // The flag's value, since the old target headers of the products lack it.
  constexpr DWORD kLoadLibrarySearchSystem32 = 0x00000800;
  const auto setDefault = reinterpret_cast<TSetDefaultDllDirectories>(find("SetDefaultDllDirectories"));
  if (setDefault && setDefault(kLoadLibrarySearchSystem32)) return;
  // Without it the program's own folder stays in the search, but the
  // current folder at least, which whoever starts the program chooses, goes.
  const auto setDirectory = reinterpret_cast<TSetDllDirectory>(find("SetDllDirectoryA"));
  if (setDirectory) setDirectory("");
}

// The program's entry, before the C runtime's: no DLL that a constructor
// loads (the stack protector's seed loads the system's cryptography) is
// looked for beside the program.
extern "C" int WinMainCRTStartup(void);
extern "C" int FxStartup(void) {
  RestrictDllSearchToSystemFolder();
  return WinMainCRTStartup();
}

bool TWin32Platform::IsElevated() { return ::IsElevated(); }

void TWin32Platform::Sleep(uint32_t milliseconds) { ::Sleep(milliseconds); }

TLocalTime TWin32Platform::LocalTime() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  TLocalTime t;
  t.Year = now.wYear;
  t.Month = now.wMonth;
  t.Day = now.wDay;
  t.DayOfWeek = now.wDayOfWeek;
  t.Hour = now.wHour;
  t.Minute = now.wMinute;
  t.Second = now.wSecond;
  t.Millisecond = now.wMilliseconds;
  return t;
}

std::string TWin32Platform::ProgramPath() {
  // Grown until the whole path fits: a setup program deep in a folder tree
  // must still be able to restart itself.
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) FailLast("find the path of", "the running program");
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

void TWin32Platform::HoldProgramFile() {
  // Reading, and letting others only read: the share mode binds only a
  // handle that may read.
  HANDLE file = CreateFileA(ProgramPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) program_.reset(file, [](void* held) { ::CloseHandle(held); });
}

bool TWin32Platform::IsThisProgram(const std::string& path) {
  const TKernelHandle file(CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                       OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  BY_HANDLE_FILE_INFORMATION found, held;
  return program_ && file && GetFileInformationByHandle(file.get(), &found) &&
         GetFileInformationByHandle(program_.get(), &held) &&
         found.dwVolumeSerialNumber == held.dwVolumeSerialNumber && found.nFileIndexHigh == held.nFileIndexHigh &&
         found.nFileIndexLow == held.nFileIndexLow;
}

void TWin32Platform::ExitProcess(int code) { ::ExitProcess(static_cast<UINT>(code)); }
