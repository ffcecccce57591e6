// Who may change a folder: kept per folder, given to what is made, and
// checked for what other users do.
#include <fstream>

#include "platform/Path.h"
#include "platform/TrustedFolder.h"
#include "platform/hostsim/HostSim.h"

namespace fs = std::filesystem;

namespace {

bool Holds(const std::set<std::string>& accounts, const std::string& account) {
  return accounts.count(account) > 0 || accounts.count(THostSimPlatform::kEveryUser) > 0;
}

// The folder above path, with its closing backslash.
std::string Parent(const std::string& path) { return ExtractFilePath(WithoutBackslash(path)); }

}  // namespace

bool THostSimPlatform::TryCreateFolder(const std::string& path, TFolderProtection protection) {
  fs::path host;
  if (!Resolve(path, host) || IsDenied(path) || failCreate_.count(PathKey(path))) return false;
  const TFolderAcl acl = FolderAclFor(*this, path, protection);
  TFolderSecurity made = FolderSecurity(path);
  std::error_code ec;
  if (!fs::create_directory(host, ec) || ec) return false;
  // An elevated process makes what the administrators own.
  made.Owner = elevated_ ? kAdministrators : kUser;
  if (acl == TFolderAcl::ProgramFiles) made.Writers = made.Inheritable = {kSystem, kAdministrators};
  if (acl == TFolderAcl::ThisUser) made.Writers = made.Inheritable = {kSystem, kAdministrators, kUser};
  if (acl != TFolderAcl::Inherited) protected_.push_back(path);
  security_[PathKey(path)] = made;
  return true;
}

void THostSimPlatform::SetFolderSecurity(const std::string& path, const std::string& owner,
                                         std::set<std::string> writers) {
  security_[PathKey(path)] = TFolderSecurity{owner, writers, writers, false};
}

THostSimPlatform::TFolderSecurity THostSimPlatform::FolderSecurity(const std::string& path) const {
  const std::string key = PathKey(path);
  const auto kept = security_.find(key);
  if (kept != security_.end()) return kept->second;
  if (key.size() <= 3) return TFolderSecurity{kSystem, {kSystem, kAdministrators}, {kSystem, kAdministrators, kEveryUser}, true};
  // Made the ordinary way by this process's user: what the parent passes on,
  // and full control for its maker.
  const TFolderSecurity parent = FolderSecurity(ExtractFilePath(key));
  TFolderSecurity made{kUser, parent.Inheritable, parent.Inheritable, false};
  made.Writers.insert(kUser);
  return made;
}

bool THostSimPlatform::MayAdd(const std::string& account, const std::string& folder, bool aFolder) const {
  fs::path host;
  std::error_code ec;
  if (!Resolve(folder, host) || IsDenied(folder) || !fs::is_directory(fs::symlink_status(host, ec))) return false;
  const TFolderSecurity security = FolderSecurity(folder);
  return Holds(security.Writers, account) || (aFolder && security.EveryUserMayAddFolders);
}

bool THostSimPlatform::MayRemove(const std::string& account, const std::string& path) const {
  fs::path host;
  std::error_code ec;
  if (!Resolve(path, host) || IsDenied(path) || IsLocked(path)) return false;
  // Deleting a child of the folder, or the entry itself.
  const bool folder = fs::is_directory(fs::symlink_status(host, ec));
  return Holds(FolderSecurity(Parent(path)).Writers, account) ||
         (folder && Holds(FolderSecurity(path).Writers, account));
}

bool THostSimPlatform::MakeFolderAs(const std::string& account, const std::string& path) {
  fs::path host;
  std::error_code ec;
  if (!Resolve(path, host) || fs::exists(fs::symlink_status(host, ec)) || !MayAdd(account, Parent(path), true))
    return false;
  const TFolderSecurity parent = FolderSecurity(Parent(path));
  if (!fs::create_directory(host, ec) || ec) return false;
  TFolderSecurity made{account, parent.Inheritable, parent.Inheritable, false};
  made.Writers.insert(account);
  security_[PathKey(path)] = made;
  return true;
}

bool THostSimPlatform::RenameAs(const std::string& account, const std::string& from, const std::string& to) {
  fs::path hostFrom, hostTo;
  std::error_code ec;
  if (!Resolve(from, hostFrom) || !Resolve(to, hostTo) || !fs::exists(fs::symlink_status(hostFrom, ec)) ||
      fs::exists(fs::symlink_status(hostTo, ec)) || !MayRemove(account, from) ||
      !MayAdd(account, Parent(to), fs::is_directory(fs::symlink_status(hostFrom, ec))))
    return false;
  fs::rename(hostFrom, hostTo, ec);
  if (ec) return false;
  MoveSecurity(from, to);
  const fs::path below = programHost_.lexically_relative(hostFrom);
  if (!programHost_.empty() && !below.empty() && *below.begin() != "..") programHost_ = hostTo / below;
  return true;
}

void THostSimPlatform::MoveSecurity(const std::string& from, const std::string& to) {
  // Windows keeps a moved folder's access list as it was, what it had from
  // its old parent included.
  const std::string source = PathKey(from), target = PathKey(to);
  std::map<std::string, TFolderSecurity> moved;
  if (FolderExists(to)) moved[target] = FolderSecurity(from);
  for (auto it = security_.begin(); it != security_.end();) {
    if (it->first.size() > source.size() && it->first.compare(0, source.size() + 1, source + "\\") == 0) {
      moved[target + it->first.substr(source.size())] = it->second;
      it = security_.erase(it);
    } else {
      it = it->first == source ? security_.erase(it) : std::next(it);
    }
  }
  for (auto& [key, security] : moved) security_[key] = std::move(security);
}

bool THostSimPlatform::LinkAs(const std::string& account, const std::string& link, const std::string& target) {
  fs::path host, hostTarget;
  std::error_code ec;
  if (!Resolve(link, host) || !Resolve(target, hostTarget) || fs::exists(fs::symlink_status(host, ec)) ||
      !MayAdd(account, Parent(link), true))
    return false;
  fs::create_directory_symlink(hostTarget, host, ec);
  return !ec;
}

bool THostSimPlatform::WriteFileAs(const std::string& account, const std::string& path,
                                   const std::string& content) {
  fs::path host;
  std::error_code ec;
  if (!Resolve(path, host) || IsLocked(path) || fs::is_directory(fs::symlink_status(host, ec))) return false;
  // A file's access list is what its folder passes on.
  const bool exists = fs::exists(fs::symlink_status(host, ec));
  if (exists ? !Holds(FolderSecurity(Parent(path)).Writers, account) : !MayAdd(account, Parent(path), false))
    return false;
  std::ofstream out(host, std::ios::binary | std::ios::trunc);
  out << content;
  return static_cast<bool>(out);
}
