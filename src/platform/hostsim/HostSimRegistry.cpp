// The registry below HKEY_LOCAL_MACHINE, kept in a text file that a test can
// read.
#include <cstdio>
#include <fstream>

#include "lib/LIB_Text.h"
#include "platform/hostsim/HostSim.h"
#include "platform/hostsim/HostSimErrors.h"

void THostSimPlatform::WriteRegistryValue(const std::string& key, const std::string& name,
                                          TRegistryValue value) {
  if (failRegistry_) Fail(kErrorAccessDenied, "write to the registry key", "HKEY_LOCAL_MACHINE\\" + key);
  value.Label = key + '\t' + name;
  registry_[LowerCase(key) + '\n' + LowerCase(name)] = std::move(value);
  SaveRegistry();
}

void THostSimPlatform::WriteRegistryString(const std::string& key, const std::string& name,
                                           const std::string& value) {
  WriteRegistryValue(key, name, {"", value, false});
}

void THostSimPlatform::WriteRegistryNumber(const std::string& key, const std::string& name, uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "dword:%08x", static_cast<unsigned>(value));
  WriteRegistryValue(key, name, {"", text, true});
}

std::optional<std::string> THostSimPlatform::ReadRegistryString(const std::string& key, const std::string& name) {
  const auto it = registry_.find(LowerCase(key) + '\n' + LowerCase(name));
  if (it == registry_.end() || it->second.Number) return std::nullopt;
  return it->second.Text;
}

void THostSimPlatform::SaveRegistry() const {
  std::ofstream out(RegistryFile(), std::ios::binary | std::ios::trunc);
  for (const auto& entry : registry_)
    out << "HKEY_LOCAL_MACHINE\\" << entry.second.Label << '\t' << entry.second.Text << '\n';
  out.close();
  if (!out) Fail(kErrorGeneral, "save the simulated registry", RegistryFile().string());
}

bool THostSimPlatform::TryDeleteRegistryKey(const std::string& key) {
  if (failRegistry_) return false;
  // Keys exist here only through their values, filed as the key, a line
  // break and the name; a sub-key's values begin with the key and "\".
  const std::string own = LowerCase(key) + '\n';
  const std::string below = LowerCase(key) + '\\';
  for (const auto& entry : registry_)
    if (entry.first.compare(0, below.size(), below) == 0) return false;
  for (auto it = registry_.begin(); it != registry_.end();)
    it = it->first.compare(0, own.size(), own) == 0 ? registry_.erase(it) : std::next(it);
  SaveRegistry();
  return true;
}
