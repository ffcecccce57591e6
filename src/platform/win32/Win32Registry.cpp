// Values below HKEY_LOCAL_MACHINE.
#include <windows.h>

#include <vector>

#include "platform/win32/Win32Errors.h"
#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Platform.h"

namespace {

void WriteRegistryValue(const std::string& key, const std::string& name, DWORD type, const void* data,
                        DWORD size) {
  const std::string subject = "HKEY_LOCAL_MACHINE\\" + key;
  TRegKey handle;
  LONG result = RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, handle.Out(), nullptr);
  if (result != ERROR_SUCCESS) Fail(result, "open the registry key", subject);
  result = RegSetValueExA(handle.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
  if (result != ERROR_SUCCESS) Fail(result, "write the registry value " + name + " of", subject);
}

}  // namespace

void TWin32Platform::WriteRegistryString(const std::string& key, const std::string& name,
                                         const std::string& value) {
  WriteRegistryValue(key, name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

void TWin32Platform::WriteRegistryNumber(const std::string& key, const std::string& name, uint32_t value) {
  const DWORD number = value;
  WriteRegistryValue(key, name, REG_DWORD, &number, sizeof number);
}

std::optional<std::string> TWin32Platform::ReadRegistryString(const std::string& key, const std::string& name) {
  TRegKey handle;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, handle.Out()) != ERROR_SUCCESS)
    return std::nullopt;
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(handle.get(), name.c_str(), nullptr, &type, nullptr, &size) !=
          ERROR_SUCCESS ||
      (type != REG_SZ && type != REG_EXPAND_SZ))
    return std::nullopt;
  std::vector<char> buffer(size + 1, '\0');
  if (RegQueryValueExA(handle.get(), name.c_str(), nullptr, &type,
                       reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS)
    return std::nullopt;
  return std::string(buffer.data());  // up to the terminating zero, which size counts
}

bool TWin32Platform::TryDeleteRegistryKey(const std::string& key) {
  // RegDeleteKey refuses a key that has sub-keys, which is what keeps a
  // wrong name from taking a whole branch with it.
  const LONG result = RegDeleteKeyA(HKEY_LOCAL_MACHINE, key.c_str());
  return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}
