// A program for the Windows tests to start: it writes the show command that
// it was started with into "started.txt" beside itself, and ends.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
  char path[MAX_PATH + 16] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return 1;
  char* name = path + length;
  while (name > path && name[-1] != '\\') --name;
  lstrcpyA(name, "started.txt");
  HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  char text[16];
  const int size = wsprintfA(text, "%d", showCommand);
  DWORD written = 0;
  const BOOL wrote = WriteFile(file, text, static_cast<DWORD>(size), &written, nullptr);
  return CloseHandle(file) && wrote ? 0 : 1;
}
