#include "platform/win32/Win32Security.h"

#include <windows.h>
#include <sddl.h>

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
