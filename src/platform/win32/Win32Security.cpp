#include "platform/win32/Win32Security.h"

#include <windows.h>
#include <exdisp.h>
#include <sddl.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>

#include <vector>

#include "platform/win32/Win32Handles.h"

namespace {

// The token's information of one class, or nothing when it cannot be read.
std::vector<char> TokenInformation(TOKEN_INFORMATION_CLASS kind) {
  TKernelHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Out())) return {};
  DWORD size = 0;
  GetTokenInformation(token.get(), kind, nullptr, 0, &size);
  if (size == 0) return {};
  std::vector<char> data(size);
  if (!GetTokenInformation(token.get(), kind, data.data(), size, &size)) return {};
  return data;
}

}  // namespace

bool IsElevated() {
  const std::vector<char> elevation = TokenInformation(TokenElevation);
  if (elevation.size() >= sizeof(TOKEN_ELEVATION))
    return reinterpret_cast<const TOKEN_ELEVATION*>(elevation.data())->TokenIsElevated != 0;
  // Before elevation existed, an administrator always held the full token.
  SID_IDENTIFIER_AUTHORITY authority = SECURITY_NT_AUTHORITY;
  PSID administrators = nullptr;
  if (!AllocateAndInitializeSid(&authority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0,
                                0, 0, 0, 0, &administrators))
    return false;
  BOOL member = FALSE;
  if (!CheckTokenMembership(nullptr, administrators, &member)) member = FALSE;
  FreeSid(administrators);
  return member != FALSE;
}

std::string CurrentUserSid() {
  const std::vector<char> user = TokenInformation(TokenUser);
  if (user.size() < sizeof(TOKEN_USER)) return "";
  char* text = nullptr;
  if (!ConvertSidToStringSidA(reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid, &text)) return "";
  const TLocalText owned(text);
  return text;
}

std::string ThisUserProtection() {
  const std::string user = CurrentUserSid();
  return user.empty() ? user : "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;" + user + ")";
}

TTrustedAccounts::TTrustedAccounts() {
  // The installer service's account, by its fixed identifier.
  for (const char* text : {"S-1-5-18", "S-1-5-32-544", "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464"}) {
    PSID sid = nullptr;
    if (!ConvertStringSidToSidA(text, &sid)) continue;
    const char* bytes = static_cast<const char*>(sid);
    sids_.emplace_back(bytes, bytes + GetLengthSid(sid));
    LocalFree(sid);
  }
  const std::vector<char> user = TokenInformation(TokenUser);
  if (user.size() >= sizeof(TOKEN_USER)) {
    const PSID sid = reinterpret_cast<const TOKEN_USER*>(user.data())->User.Sid;
    const char* bytes = static_cast<const char*>(sid);
    sids_.emplace_back(bytes, bytes + GetLengthSid(sid));
  }
}

bool TTrustedAccounts::Holds(void* sid) const {
  if (!sid || !IsValidSid(sid)) return false;
  for (const std::vector<char>& known : sids_)
    if (EqualSid(sid, const_cast<char*>(known.data()))) return true;
  return false;
}

bool CreateProtectedFolder(const std::string& path, const std::string& sddl) {
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1, &descriptor,
                                                            nullptr))
    return false;
  SECURITY_ATTRIBUTES attributes = {sizeof attributes, descriptor, FALSE};
  const BOOL made = CreateDirectoryA(path.c_str(), &attributes);
  // The caller asks the last error for the folder's reason, not the freeing's.
  const DWORD error = GetLastError();
  LocalFree(descriptor);
  SetLastError(error);
  return made != FALSE;
}

bool OpenThroughDesktopShell(const std::string& file, int showCommand) {
  TComScope com;
  // The desktop's window among the shell's windows, which the shell serves
  // from its own process: whatever it starts runs with its token.
  TComPtr<IShellWindows> windows;
  if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                              windows.Out())))
    return false;
  VARIANT desktop = {};
  desktop.vt = VT_I4;
  desktop.lVal = CSIDL_DESKTOP;
  VARIANT none = {};
  long window = 0;
  TComPtr<IDispatch> found;
  // S_FALSE when there is no such window, with nothing handed back.
  if (windows->FindWindowSW(&desktop, &none, SWC_DESKTOP, &window, SWFO_NEEDDISPATCH,
                            reinterpret_cast<IDispatch**>(found.Out())) != S_OK ||
      !found.get())
    return false;
  // From the desktop's browser to the view of its folder, and from the
  // view's automation object to the shell's own.
  TComPtr<IServiceProvider> services;
  if (FAILED(found->QueryInterface(IID_IServiceProvider, services.Out()))) return false;
  TComPtr<IShellBrowser> browser;
  if (FAILED(services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.Out()))) return false;
  TComPtr<IShellView> view;
  if (FAILED(browser->QueryActiveShellView(reinterpret_cast<IShellView**>(view.Out()))) || !view.get())
    return false;
  TComPtr<IDispatch> background;
  if (FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.Out()))) return false;
  TComPtr<IShellFolderViewDual> folderView;
  if (FAILED(background->QueryInterface(IID_IShellFolderViewDual, folderView.Out()))) return false;
  TComPtr<IDispatch> application;
  if (FAILED(folderView->get_Application(reinterpret_cast<IDispatch**>(application.Out()))) ||
      !application.get())
    return false;
  TComPtr<IShellDispatch2> shell;
  if (FAILED(application->QueryInterface(IID_IShellDispatch2, shell.Out()))) return false;

  const int length = MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, nullptr, 0);
  if (length <= 0) return false;
  std::vector<wchar_t> wide(static_cast<size_t>(length));
  if (MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide.data(), length) != length) return false;
  const TBstr name(wide.data());
  if (!name.get()) return false;
  VARIANT show = {};
  show.vt = VT_I4;
  show.lVal = showCommand;
  // No arguments, the shell's working folder, the file's default verb.
  return SUCCEEDED(shell->ShellExecute(name.get(), none, none, none, show));
}
