// The uninstaller that the setup program carries. Started from the
// installation folder, it asks once and then hands the work to a copy of
// itself in a fresh folder under the temporary folder: a running program can
// remove neither its own file nor the folder that holds it. The copy waits
// for this process to end, removes what the uninstall log names, reports,
// and goes itself when it ends.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <stdexcept>
#include <string>

#include "install/Uninstall.h"
#include "install/UninstallLog.h"
#include "install/UninstallPlan.h"
#include "install/UninstallRemover.h"
#include "lib/LIB_Text.h"
#include "platform/Path.h"
#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Security.h"

namespace {

const std::string kCaption = std::string("Uninstall ") + kProductName;
constexpr char kRemoveSwitch[] = "/remove";
// The copy's folder is made fresh under the temporary folder for each
// uninstall, with this at the start of its name; the copy is this file in it.
constexpr char kCopyFolderPrefix[] = "FxUninstall";
constexpr char kCopyName[] = "Uninstall.exe";
// The original ends right after starting its copy; one that has not ended
// by then is not the original of this copy.
constexpr DWORD kOriginalEndWait = 60000;

void Tell(const std::string& text, UINT icon) {
  MessageBoxA(nullptr, text.c_str(), kCaption.c_str(), MB_OK | icon);
}

[[noreturn]] void Fail(const std::string& what) {
  throw std::runtime_error(what + " (error " + std::to_string(GetLastError()) + ")");
}

std::string TempFolder() {
  char temp[MAX_PATH + 1];
  const DWORD length = GetTempPathA(sizeof temp, temp);
  if (length == 0 || length > MAX_PATH) Fail("The temporary folder cannot be found");
  return std::string(temp, length);
}

bool ReadAll(HANDLE file, std::string& bytes) {
  char chunk[0x10000];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr)) {
    if (got == 0) return true;
    bytes.append(chunk, got);
  }
  return false;
}

bool WriteAll(HANDLE file, const std::string& bytes) {
  for (size_t done = 0; done < bytes.size();) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 0x10000));
    if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) return false;
    done += written;
  }
  return true;
}

// A number no one can foresee, from the system's generator; false when it
// cannot be had. Looked up, once the search for DLLs is closed: the call
// lives in a DLL that the system finds by name.
bool RandomNumber(unsigned long long& number) {
  using TGenRandom = BOOLEAN(WINAPI*)(PVOID, ULONG);
  const HMODULE advapi = GetModuleHandleA("advapi32.dll");
  const auto generate = reinterpret_cast<TGenRandom>(
      reinterpret_cast<void (*)()>(advapi ? GetProcAddress(advapi, "SystemFunction036") : nullptr));
  return generate && generate(&number, sizeof number);
}

// A folder of this program's own: started from the shared temporary folder
// itself, the copy could load a library that someone else put there. Only
// this user, the administrators and the system may write to it, whatever the
// temporary folder lets others do. Its name is drawn at random, so that no
// one can make it first; a name that is taken, by a folder, a file or a
// link, is passed over: what was there before is never used.
std::string MakeFreshFolder() {
  const std::string protection = ThisUserProtection();
  if (protection.empty()) Fail("This user's identity cannot be read");
  const std::string temp = TempFolder();
  for (int tries = 0; tries < 100; ++tries) {
    unsigned long long number = 0;
    if (!RandomNumber(number)) Fail("No folder name can be drawn");
    const std::string folder = temp + kCopyFolderPrefix + std::to_string(number) + "\\";
    if (CreateProtectedFolder(folder, protection)) return folder;
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  Fail("No folder can be made in the temporary folder");
}

// The copy and its folder, taken away again unless the copy has started.
struct TFreshCopy {
  std::string Folder;
  std::string Path;
  bool Made = false;
  bool Started = false;
  ~TFreshCopy() {
    if (Started) return;
    if (Made) DeleteFileA(Path.c_str());
    RemoveDirectoryA(Folder.c_str());
  }
};

// The copy gets an inherited handle to this process, to wait for, and one to
// its own file, opened for deletion on close: the system deletes the file
// when the copy, its last holder, ends.
void HandOver(const std::string& self, const std::string& installDir) {
  // Read through a handle that lets no one write to the file meanwhile.
  std::string program;
  {
    const TKernelHandle source(
        CreateFileA(self.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!source || !ReadAll(source.get(), program)) Fail("The uninstaller cannot read \"" + self + "\"");
  }
  TFreshCopy copy;
  copy.Folder = MakeFreshFolder();
  copy.Path = copy.Folder + kCopyName;
  const std::string cannotCopy = "The uninstaller cannot be copied to \"" + copy.Folder + "\"";
  {
    // New, and shared with no one while it is written.
    TKernelHandle writing(CreateFileA(copy.Path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!writing) Fail(cannotCopy);
    copy.Made = true;
    if (!WriteAll(writing.get(), program) || !writing.Close()) Fail(cannotCopy);
  }
  // A program cannot be started while its file is open for writing, so the
  // handle that holds the copy from now until the copy ends is a second one.
  // It lets the system read the file to start it, and no one write to it,
  // rename it or delete it; what it reads is what was written, or someone
  // changed the file in the moment between the two.
  SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
  const TKernelHandle held(CreateFileA(copy.Path.c_str(), GENERIC_READ, FILE_SHARE_READ, &inherited,
                                       OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT,
                                       nullptr));
  if (!held) Fail(cannotCopy);
  copy.Made = false;  // the held handle deletes it
  std::string written;
  if (!ReadAll(held.get(), written)) Fail(cannotCopy);
  if (written != program) {
    SetLastError(ERROR_FILE_CORRUPT);
    Fail("The uninstaller's copy in \"" + copy.Folder + "\" was changed by another program");
  }
  // Without it the copy could not wait, and would find this program's file
  // still held; with it, the copy can tell that this uninstaller started it.
  TKernelHandle original;
  if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), original.Out(),
                       SYNCHRONIZE | PROCESS_QUERY_INFORMATION, TRUE, 0))
    Fail("The uninstaller cannot hand its work over");
  // Without its trailing backslash: before the closing quote it would
  // escape the quote.
  std::string line = "\"" + copy.Path + "\" " + kRemoveSwitch + " \"" + WithoutBackslash(installDir) +
                     "\" " + std::to_string(reinterpret_cast<uintptr_t>(original.get()));
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(copy.Path.c_str(), &line[0], nullptr, nullptr, TRUE, 0, nullptr, copy.Folder.c_str(),
                      &startup, &process))
    Fail("The uninstaller cannot be started from \"" + copy.Folder + "\"");
  copy.Started = true;
  const TKernelHandle thread(process.hThread);
  const TKernelHandle started(process.hProcess);
}

// The file that a process runs, in its long form; empty when it cannot be
// read, as for a handle that is not a process's. Looked up: the call is
// missing from the target headers, and a program that imported it could not
// start on the systems without it.
std::string ProcessImage(TWin32Platform& os, HANDLE process) {
  using TQueryImage = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);
  const HMODULE kernel = GetModuleHandleA("kernel32.dll");
  const auto query = reinterpret_cast<TQueryImage>(reinterpret_cast<void (*)()>(
      kernel ? GetProcAddress(kernel, "QueryFullProcessImageNameA") : nullptr));
  char path[4 * MAX_PATH];
  DWORD length = sizeof path;
  if (!query || !query(process, 0, path, &length)) return "";
  return os.LongPathName(std::string(path, length));
}

// Why this program may not remove installDir as the uninstaller's copy, or
// nothing when it may. The copy alone skips the question, and takes the
// folder to remove from its command line instead of its own place, so
// "/remove" must come from the original:
// - the copy runs from a folder that an original made for it: directly in
//   the temporary folder, named as the originals name it (which only those
//   who may write there could copy a program into);
// - it was handed a process whose program is installDir's uninstaller, the
//   one place from which the uninstaller removes that folder after asking.
// A copy started by anyone else runs with its starter's rights, and removes
// no more than that starter could remove by starting the uninstaller in
// installDir and answering its question.
std::string WhyRefused(TWin32Platform& os, const std::string& installDir, HANDLE original) {
  const std::string self = os.LongPathName(os.ProgramPath());
  const std::string folder = ExtractFilePath(self);
  const std::string name = ExtractFileName(WithoutBackslash(folder));
  const size_t prefix = sizeof kCopyFolderPrefix - 1;
  const bool fresh = name.size() > prefix && SameText(name.substr(0, prefix), kCopyFolderPrefix) &&
                     name.find_first_not_of("0123456789", prefix) == std::string::npos;
  if (!fresh || !SameText(ExtractFilePath(WithoutBackslash(folder)), os.LongPathName(TempFolder())))
    return "it runs from \"" + folder + "\", not from a folder that the uninstaller made for it";
  const std::string image = ProcessImage(os, original);
  if (image.empty() || SameText(image, self) ||
      !SameText(image, os.LongPathName(installDir) + kCopyName))
    return "it was not started by the uninstaller in \"" + installDir + "\"";
  return "";
}

// The handle's number as the original wrote it; null for anything else.
HANDLE HandleArgument(const char* text) {
  char* end = nullptr;
  const unsigned long long number = std::strtoull(text, &end, 10);
  if (end == text || *end != '\0' || text[0] == '-' || text[0] == '+') return nullptr;
  return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(number));
}

// The copy's file goes when this process ends; its folder, which cannot go
// while the program runs from it, at the next restart. The file is named
// too, in case the deletion on close was not honoured.
void GoAtRestart(TWin32Platform& os) {
  const std::string self = os.ProgramPath();
  MoveFileExA(self.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  MoveFileExA(WithoutBackslash(ExtractFilePath(self)).c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

int RemoveAsCopy(const std::string& installDir, const char* handleText) {
  TWin32Platform os;
  const HANDLE given = HandleArgument(handleText);
  const std::string refused = WhyRefused(os, installDir, given);
  if (!refused.empty()) {
    Tell(std::string(kProductName) + " cannot be removed: the uninstaller was started with \"" +
             kRemoveSwitch + "\", but " + refused + ".\r\nNothing has been changed.",
         MB_ICONERROR);
    return 1;
  }
  const TKernelHandle original(given);
  // The original's file can go only once it has ended.
  const DWORD waited = WaitForSingleObject(original.get(), kOriginalEndWait);
  if (waited != WAIT_OBJECT_0) {
    Tell(std::string(kProductName) + " cannot be removed: the uninstaller that started this copy " +
             (waited == WAIT_TIMEOUT ? "has not ended" : "cannot be waited for") +
             ".\r\nNothing has been changed.",
         MB_ICONERROR);
    GoAtRestart(os);
    return 1;
  }
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
  GoAtRestart(os);
  return report.empty() ? 0 : 1;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (__argc == 4 && std::string(__argv[1]) == kRemoveSwitch) {
    return RemoveAsCopy(std::string(__argv[2]) + "\\", __argv[3]);
  }

  TWin32Platform os;
  try {
    const std::string self = os.ProgramPath();
    // The log names the installation folder by its long name; started by a
    // short one ("C:\PROGRA~1\..."), the uninstaller must still know it.
    const std::string installDir = os.LongPathName(ExtractFilePath(self));
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
