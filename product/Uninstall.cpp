// The uninstaller that the setup program carries. Started from the
// installation folder, it asks once and then hands the work to a copy of
// itself in a fresh folder under the temporary folder: a running program can
// remove neither its own file nor the folder that holds it. The copy waits
// for this process to end, removes what the uninstall log names, reports,
// and goes itself when it ends.
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <exception>
#include <stdexcept>
#include <string>

#include "install/Uninstall.h"
#include "install/UninstallLog.h"
#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Platform.h"

namespace {

const std::string kCaption = std::string("Uninstall ") + kProductName;
constexpr char kRemoveSwitch[] = "/remove";

void Tell(const std::string& text, UINT icon) {
  MessageBoxA(nullptr, text.c_str(), kCaption.c_str(), MB_OK | icon);
}

[[noreturn]] void Fail(const std::string& what) {
  throw std::runtime_error(what + " (error " + std::to_string(GetLastError()) + ")");
}

// The log names the installation folder by its long name; started by a
// short one ("C:\PROGRA~1\..."), the uninstaller must still know it.
std::string LongPath(const std::string& path) {
  char buffer[4 * MAX_PATH];
  const DWORD length = GetLongPathNameA(path.c_str(), buffer, sizeof buffer);
  return length > 0 && length < sizeof buffer ? std::string(buffer, length) : path;
}

// A folder of this program's own: started from the shared temporary folder
// itself, the copy could load a library that someone else put there.
std::string MakeFreshFolder() {
  char temp[MAX_PATH + 1];
  const DWORD length = GetTempPathA(sizeof temp, temp);
  if (length == 0 || length > MAX_PATH) Fail("The temporary folder cannot be found");
  DWORD number = GetTickCount() ^ GetCurrentProcessId();
  for (int tries = 0; tries < 100; ++tries, ++number) {
    const std::string folder = std::string(temp) + "FxUninstall" + std::to_string(number % 1000000) + "\\";
    if (CreateDirectoryA(folder.c_str(), nullptr)) return folder;
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  Fail("No folder can be made in the temporary folder");
}

// The copy gets an inherited handle to this process, to wait for, and one to
// its own file, opened for deletion on close: the system deletes the file
// when the copy, its last holder, ends.
void HandOver(const std::string& self, const std::string& installDir) {
  const std::string folder = MakeFreshFolder();
  const std::string copy = folder + "Uninstall.exe";
  // Leaves nothing of the copy behind, and reports the failure that stopped it.
  const auto abandon = [&](const std::string& what) {
    const DWORD error = GetLastError();
    DeleteFileA(copy.c_str());
    RemoveDirectoryA(folder.c_str());
    SetLastError(error);
    Fail(what);
  };
  if (!CopyFileA(self.c_str(), copy.c_str(), FALSE))
    abandon("The uninstaller cannot be copied to \"" + folder + "\"");
  SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
  const TKernelHandle deleteOnClose(CreateFileA(copy.c_str(), GENERIC_READ,
                                                FILE_SHARE_READ | FILE_SHARE_DELETE, &inherited,
                                                OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  // Without it the copy could not wait, and would find this program's file
  // still held.
  TKernelHandle original;
  if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), original.Out(),
                       SYNCHRONIZE, TRUE, 0))
    abandon("The uninstaller cannot hand its work over");
  // Without its trailing backslash: before the closing quote it would
  // escape the quote.
  std::string line = "\"" + copy + "\" " + kRemoveSwitch + " \"" + WithoutBackslash(installDir) +
                     "\" " + std::to_string(reinterpret_cast<uintptr_t>(original.get()));
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, folder.c_str(), &startup,
                      &process))
    abandon("The uninstaller cannot be started from \"" + folder + "\"");
  const TKernelHandle thread(process.hThread);
  const TKernelHandle started(process.hProcess);
}

int RemoveAsCopy(const std::string& installDir, const TKernelHandle& original) {
  // The original ends right after starting this copy; its file can go only then.
  if (original) WaitForSingleObject(original.get(), 60000);
  TWin32Platform os;
  std::string report;
  try {
    const TUninstallPlan plan = PlanUninstall(os, ReadUninstallLog(os, installDir), installDir);
    report = UninstallReport(plan, CarryOut(os, plan));
  } catch (const std::exception& e) {
    report = std::string(kProductName) + " could not be removed: " + e.what();
  }
  if (report.empty())
    Tell(std::string(kProductName) + " has been removed from this computer.", MB_ICONINFORMATION);
  else
    Tell(report, MB_ICONWARNING);
  // The file goes when this process ends; its folder, which cannot go while
  // the program runs from it, at the next restart. The file is named too, in
  // case the deletion on close was not honoured.
  const std::string self = os.ProgramPath();
  MoveFileExA(self.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  MoveFileExA(WithoutBackslash(ExtractFilePath(self)).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  return report.empty() ? 0 : 1;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  RestrictDllSearchToSystemFolder();
  if (__argc == 4 && std::string(__argv[1]) == kRemoveSwitch) {
    const auto handle = static_cast<uintptr_t>(std::strtoul(__argv[3], nullptr, 10));
    return RemoveAsCopy(std::string(__argv[2]) + "\\", TKernelHandle(reinterpret_cast<HANDLE>(handle)));
  }

  TWin32Platform os;
  try {
    const std::string self = os.ProgramPath();
    const std::string installDir = LongPath(ExtractFilePath(self));
    ReadUninstallLog(os, installDir);
    const std::string question = "Do you want to remove " + std::string(kProductName) +
                                 " and all of its components from this computer?";
    if (MessageBoxA(nullptr, question.c_str(), kCaption.c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES)
      return 0;
    HandOver(self, installDir);
  } catch (const std::exception& e) {
    Tell(std::string(kProductName) + " cannot be removed: " + e.what() + "\r\nNothing has been changed.",
         MB_ICONERROR);
    return 1;
  }
  return 0;
}
