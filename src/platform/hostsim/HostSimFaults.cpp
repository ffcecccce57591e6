#include "platform/Path.h"
#include "platform/hostsim/HostSim.h"

void THostSimPlatform::FailCreateFolder(const std::string& path) { failCreate_.insert(PathKey(path)); }

void THostSimPlatform::LockFile(const std::string& path, bool locked) {
  if (locked)
    locked_.insert(PathKey(path));
  else
    locked_.erase(PathKey(path));
}

void THostSimPlatform::DenyAccess(const std::string& path) { denied_.insert(PathKey(path)); }

bool THostSimPlatform::IsDenied(const std::string& path) const {
  const std::string key = PathKey(path);
  for (const std::string& denied : denied_) {
    const std::string below = WithBackslash(denied);
    if (key == denied || key.compare(0, below.size(), below) == 0) return true;
  }
  return false;
}

bool THostSimPlatform::IsLocked(const std::string& path) const {
  return locked_.count(PathKey(path)) > 0 || IsProgramFile(path);
}
