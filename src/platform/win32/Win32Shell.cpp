// What the shell does: the folders it names, its links, and the programs and
// documents it starts.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <vector>

#include "platform/win32/Win32Errors.h"
#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32Security.h"

namespace {

// With its terminating null. A vector rather than a wide string: that one
// alone would link the C++ library's wide-string code into every program.
std::vector<wchar_t> Wide(const std::string& text) {
  const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
  std::vector<wchar_t> wide(length > 0 ? length : 1, L'\0');
  if (length > 0) MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
  return wide;
}

void Check(HRESULT result, const std::string& action, const std::string& subject) {
  if (FAILED(result)) Fail(static_cast<DWORD>(result), action, subject);
}

void MakeLinkObject(TComPtr<IShellLinkA>& link, TComPtr<IPersistFile>& file,
                    const std::string& linkFile) {
  Check(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                         link.Out()),
        "create the shell link", linkFile);
  Check(link->QueryInterface(IID_IPersistFile, file.Out()), "create the shell link", linkFile);
}

}  // namespace

TShellFolder TWin32Platform::GetShellFolder(int csidl) {
  char buffer[MAX_PATH + 1] = {};
  const HRESULT result = SHGetFolderPathA(nullptr, csidl, nullptr, 0, buffer);
  return TShellFolder{static_cast<int32_t>(result), buffer};
}

void TWin32Platform::CreateShellLink(const TShellLink& link, const std::string& linkFile) {
  TComScope com;
  TComPtr<IShellLinkA> shellLink;
  TComPtr<IPersistFile> file;
  MakeLinkObject(shellLink, file, linkFile);
  Check(shellLink->SetArguments(link.Arguments.c_str()), "set the arguments of the shell link", linkFile);
  Check(shellLink->SetDescription(link.Description.c_str()), "set the description of the shell link",
        linkFile);
  Check(shellLink->SetPath(link.Target.c_str()), "set the target of the shell link", linkFile);
  if (link.IconIndex >= 0)
    Check(shellLink->SetIconLocation(link.IconPath.c_str(), link.IconIndex),
          "set the icon of the shell link", linkFile);
  // A link that was not saved is no link; the caller decides whether that matters.
  Check(file->Save(Wide(linkFile).data(), FALSE), "save the shell link", linkFile);
}

TShellLink TWin32Platform::ReadShellLink(const std::string& linkFile) {
  TComScope com;
  TComPtr<IShellLinkA> shellLink;
  TComPtr<IPersistFile> file;
  MakeLinkObject(shellLink, file, linkFile);
  Check(file->Load(Wide(linkFile).data(), STGM_READ), "read the shell link", linkFile);
  char buffer[INFOTIPSIZE + MAX_PATH] = {};
  TShellLink link;
  Check(shellLink->GetPath(buffer, MAX_PATH, nullptr, SLGP_RAWPATH), "read the shell link", linkFile);
  link.Target = buffer;
  buffer[0] = '\0';
  Check(shellLink->GetDescription(buffer, sizeof buffer), "read the shell link", linkFile);
  link.Description = buffer;
  buffer[0] = '\0';
  Check(shellLink->GetArguments(buffer, sizeof buffer), "read the shell link", linkFile);
  link.Arguments = buffer;
  buffer[0] = '\0';
  int index = 0;
  Check(shellLink->GetIconLocation(buffer, MAX_PATH, &index), "read the shell link", linkFile);
  link.IconPath = buffer;
  link.IconIndex = link.IconPath.empty() ? -1 : index;
  return link;
}

void TWin32Platform::StartProgram(const std::string& commandLine, int showCommand) {
  std::vector<char> line(commandLine.begin(), commandLine.end());
  line.push_back('\0');
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showCommand);
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process))
    FailLast("start", commandLine);
  TKernelHandle processHandle(process.hProcess);
  TKernelHandle threadHandle(process.hThread);
}

void TWin32Platform::StartProgramAsUser(const std::string& program, int showCommand) {
  // The shell reports a missing program in a message box of its own, on a
  // desktop the user may not be looking at.
  if (!FileExists(program)) Fail(ERROR_FILE_NOT_FOUND, "start", program);
  if (IsElevated())
    OpenThroughDesktopShell(program, showCommand);
  else
    StartProgram("\"" + program + "\"", showCommand);
}

bool TWin32Platform::TryShellOpen(const std::string& document) {
  if (IsElevated()) return OpenThroughDesktopShell(document, SW_SHOWNORMAL);
  // ShellExecute's answers above 32 mean success.
  return reinterpret_cast<INT_PTR>(
             ShellExecuteA(nullptr, "open", document.c_str(), nullptr, nullptr, SW_SHOWNORMAL)) > 32;
}
