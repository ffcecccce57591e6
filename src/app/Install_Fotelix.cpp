// Program entry of the setup program.

// The control library's headers come before the platform's, whose macros
// the Windows backend's header tidies up.
#include "app/Appl_CommandLine.h"
#include "app/Appl_Globals.h"
#include "app/Form_Main.h"
#include "ui/Application.h"
#include "ui/win32/Win32Backend.h"
#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Platform.h"

#include <memory>
#include <string>
#include <vector>

namespace {

// The program's icon, from its resources, on the title bar and the taskbar.
void SetWindowIcon(TFormMain& form) {
  HWND window = static_cast<HWND>(form.Handle());
  HICON icon = ::LoadIconA(::GetModuleHandleA(nullptr), "MAINICON");
  if (!window || !icon) return;
  ::SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  ::SendMessageA(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // COM for the program's thread as long as it runs: the shell links start
  // it for each call, and stopping it after each would unload the link
  // object and load it again for the next shortcut.
  const TComScope com;
  TWin32Platform platform;
  // "Restart" starts this very file again, and nothing put at its path.
  platform.HoldProgramFile();

  std::unique_ptr<TFormMain> form;
  try {
    Application().SetBackend(std::make_unique<TWin32Backend>());
    Application().Title = "Install_Fotelix";
    Setup.InstallerEdition = "04";
    // Split by the program's own rule: the runtime's would take the
    // backslash of "C:\Fotelix\" before the closing quote as an escape.
    form = std::make_unique<TFormMain>(nullptr, platform, CommandLineArguments(::GetCommandLineA()));
    Application().MainForm = form.get();
    form->Show();
    SetWindowIcon(*form);
  } catch (const std::exception& error) {
    // Before the error page exists there is only the message box to tell it.
    ::MessageBoxA(nullptr, error.what(), "Install_Fotelix", MB_OK | MB_ICONERROR);
    return 1;
  }
  Application().Run();
  Application().MainForm = nullptr;
  return 0;
}
