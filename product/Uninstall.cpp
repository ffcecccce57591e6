// The uninstaller that the setup program carries. This build only tells the
// user that it removes nothing; it never touches a file.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  MessageBoxA(nullptr,
              "This version of the Fotelix uninstaller cannot remove Fotelix yet.\r"
              "Nothing has been changed on this computer.",
              "Uninstall Fotelix", MB_OK | MB_ICONINFORMATION);
  return 0;
}
