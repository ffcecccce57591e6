#include <algorithm>

#include "lib/LIB_Text.h"
#include "platform/FolderHandle.h"
#include "platform/Path.h"
#include "platform/hostsim/HostFolder.h"
#include "platform/hostsim/HostSim.h"

namespace {

bool IsPlainName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find_first_of("\\/") == std::string::npos;
}

bool IsTrusted(const std::string& account) {
  return account == THostSimPlatform::kSystem || account == THostSimPlatform::kAdministrators ||
         account == THostSimPlatform::kTrustedInstaller || account == THostSimPlatform::kUser;
}

}  // namespace

// A simulated folder held open: the host folder itself, with what the
// simulation keeps of its attributes and its rights.
class THostSimFolder : public TFolderHandle {
 public:
  using TKind = THostFolder::TKind;

  THostSimFolder(THostSimPlatform* os, std::unique_ptr<THostFolder> host) : os_(os), host_(std::move(host)) {}

  std::optional<std::string> FinalPath() override {
    const std::string path = os_->WindowsPath(host_->Location());
    return path.empty() ? std::nullopt : std::optional<std::string>(path);
  }

  std::vector<TSearchRec> Entries() override {
    std::vector<TSearchRec> entries;
    const std::optional<std::string> folder = FinalPath();
    if (!folder || os_->IsDenied(*folder)) return entries;
    for (const std::string& name : host_->Names()) {
      const TKind kind = host_->KindOf(name);
      if (kind == TKind::Missing) continue;
      TSearchRec rec{name, kind == TKind::File ? faArchive : 0};
      const auto stored = os_->attributes_.find(PathKey(*folder + name));
      if (stored != os_->attributes_.end()) rec.Attr = stored->second;
      if (kind == TKind::Folder || kind == TKind::FolderLink) rec.Attr |= faDirectory;
      if (kind == TKind::FileLink || kind == TKind::FolderLink) rec.Attr |= faReparsePoint;
      entries.push_back(std::move(rec));
    }
    std::sort(entries.begin(), entries.end(), InNtfsOrder);
    return entries;
  }

  std::unique_ptr<TFolderHandle> TryOpenSubFolder(const std::string& name) override {
    const std::string actual = Actual(name);
    const std::optional<std::string> folder = FinalPath();
    if (actual.empty() || !folder || os_->IsDenied(*folder + actual)) return nullptr;
    std::unique_ptr<THostFolder> sub = host_->OpenChild(actual);
    if (!sub) return nullptr;
    if (os_->folderOpened_) os_->folderOpened_(*folder + actual);
    return std::make_unique<THostSimFolder>(os_, std::move(sub));
  }

  TFolderAccess Access() override {
    TFolderAccess access;
    const std::optional<std::string> folder = FinalPath();
    if (!folder) return access;
    const THostSimPlatform::TFolderSecurity security = os_->FolderSecurity(*folder);
    access.OwnerIsTrusted = IsTrusted(security.Owner);
    const bool others = std::any_of(security.Writers.begin(), security.Writers.end(),
                                    [](const std::string& account) { return !IsTrusted(account); });
    access.OthersMayAdd = others || security.EveryUserMayAddFolders;
    access.OthersMayRemove = access.OthersMayChangeRules = others;
    return access;
  }

  bool TryProtect() override {
    const std::optional<std::string> folder = FinalPath();
    if (!folder) return false;
    THostSimPlatform::TFolderSecurity security = os_->FolderSecurity(*folder);
    // Changing the access list takes the owner or someone who may change it.
    const auto holds = [&](const std::string& account) {
      return security.Owner == account || security.Writers.count(account) > 0;
    };
    if (!holds(THostSimPlatform::kUser) && !(os_->elevated_ && holds(THostSimPlatform::kAdministrators)))
      return false;
    security.Writers = security.Inheritable = {THostSimPlatform::kSystem, THostSimPlatform::kAdministrators};
    security.EveryUserMayAddFolders = false;
    os_->security_[PathKey(*folder)] = security;
    return true;
  }

  bool TryRemove(const std::string& name) override {
    if (!IsPlainName(name)) return false;
    const std::string actual = Actual(name);
    if (actual.empty()) return true;
    const std::optional<std::string> folder = FinalPath();
    if (!folder) return false;
    const std::string path = *folder + actual;
    if (os_->IsDenied(path)) return false;
    const TKind kind = host_->KindOf(actual);
    if (kind != TKind::Folder && (os_->IsLocked(path) || (os_->StoredAttributes(path) & faReadOnly)))
      return false;
    if (!host_->Unlink(actual, kind == TKind::Folder)) return false;
    os_->attributes_.erase(PathKey(path));
    os_->security_.erase(PathKey(path));
    return true;
  }

 private:
  // The name as the folder holds it, matched without regard to case; empty
  // when there is none.
  std::string Actual(const std::string& name) {
    if (!IsPlainName(name)) return std::string();
    if (host_->KindOf(name) != TKind::Missing) return name;
    for (const std::string& held : host_->Names())
      if (SameText(held, name)) return held;
    return std::string();
  }

  THostSimPlatform* os_;
  std::unique_ptr<THostFolder> host_;
};

std::unique_ptr<TFolderHandle> THostSimPlatform::TryOpenFolderNoFollow(const std::string& path) {
  std::filesystem::path host;
  if (!Resolve(path, host) || IsDenied(path)) return nullptr;
  std::unique_ptr<THostFolder> folder = OpenHostFolder(host);
  if (!folder) return nullptr;
  if (folderOpened_) folderOpened_(WithoutBackslash(path));
  return std::make_unique<THostSimFolder>(this, std::move(folder));
}
