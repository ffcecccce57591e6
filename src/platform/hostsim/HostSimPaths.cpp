// How the simulation finds the host entry of a Windows path, and the
// Windows path of a host entry.
#include <algorithm>

#include "lib/LIB_Text.h"
#include "platform/Path.h"
#include "platform/hostsim/HostSim.h"
#include "platform/hostsim/HostSimErrors.h"

namespace fs = std::filesystem;

namespace {

// The name in folder that matches name without regard to case; name itself
// when none does.
std::string HeldName(const fs::path& folder, const std::string& name) {
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), last; !ec && it != last; it.increment(ec)) {
    const std::string held = it->path().filename().string();
    if (SameText(held, name)) return held;
  }
  return name;
}

}  // namespace

std::string THostSimPlatform::OnCurrentDrive(const std::string& path) const {
  // A path that starts with one backslash is on the current folder's drive,
  // as Windows takes it.
  const bool rooted = !path.empty() && path[0] == '\\' && (path.size() == 1 || path[1] != '\\');
  return rooted && currentFolder_.size() >= 2 ? currentFolder_.substr(0, 2) + path : path;
}

bool THostSimPlatform::Resolve(const std::string& given, fs::path& host) const {
  const std::string path = OnCurrentDrive(given);
  if (path.size() < 2 || path[1] != ':') return false;
  const auto drive = drives_.find(DriveLetter(path[0]));
  if (drive == drives_.end() || !drive->second.ready) return false;
  host = drive->second.folder;
  // The spelling given is the usual case and costs one look-up; only a name
  // in another case needs the folders' listings.
  std::error_code ec;
  if (StartsAtDriveRoot(path) && path.find('/') == std::string::npos) {
    std::string exact = path.substr(3);
    std::replace(exact.begin(), exact.end(), '\\', '/');
    const std::string framed = "/" + exact + "/";
    const fs::path candidate = host / exact;
    if (framed.find("/./") == std::string::npos && framed.find("/../") == std::string::npos &&
        fs::exists(fs::symlink_status(candidate, ec))) {
      host = candidate;
      return true;
    }
  }
  for (const std::string& part : SplitPath(path)) {
    if (part.empty() || part == ".") continue;
    if (part == ".." || part.find('/') != std::string::npos) return false;
    host /= fs::exists(fs::symlink_status(host / part, ec)) ? part : HeldName(host, part);
  }
  return true;
}

fs::path THostSimPlatform::HostPath(const std::string& path) const {
  fs::path host;
  if (!Resolve(path, host)) Fail(kErrorPathNotFound, "find", path);
  return host;
}

std::string THostSimPlatform::LongPathName(const std::string& given) {
  // The simulation has no short names: only the full form and the stored
  // letter case are left to give.
  std::string path = OnCurrentDrive(given);
  if (path.size() < 2 || path[1] != ':') path = JoinPath(currentFolder_, path);
  if (!StartsAtDriveRoot(path)) return given;
  std::vector<std::string> names;
  for (const std::string& name : SplitPath(path)) {
    if (name == "..") {
      if (!names.empty()) names.pop_back();
    } else if (!name.empty() && name != ".") {
      names.push_back(name);
    }
  }
  std::string result = DriveRoot(path[0]);
  fs::path host;
  bool found = Resolve(result, host);
  std::error_code ec;
  for (const std::string& name : names) {
    // Below a name that is not there, none can be.
    const std::string held = found ? HeldName(host, name) : name;
    found = found && fs::exists(fs::symlink_status(host / held, ec));
    if (found) host /= held;
    result = JoinPath(result, held);
  }
  if (!names.empty() && given.size() > 1 && given.back() == '\\') result += '\\';
  return result;
}

std::string THostSimPlatform::WindowsPath(const fs::path& host) const {
  std::error_code ec;
  const fs::path real = host.empty() ? host : fs::weakly_canonical(host, ec);
  if (real.empty() || ec) return std::string();
  for (const auto& [letter, drive] : drives_) {
    const fs::path relative = real.lexically_relative(fs::weakly_canonical(drive.folder, ec));
    if (ec || relative.empty() || *relative.begin() == "..") continue;
    std::string path = DriveRoot(letter);
    for (const fs::path& name : relative)
      if (name != ".") path += name.string() + "\\";
    return path;
  }
  return std::string();
}
