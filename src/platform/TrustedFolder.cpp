#include "platform/TrustedFolder.h"

#include <optional>
#include <vector>

#include "platform/Files.h"
#include "platform/Find.h"
#include "platform/Path.h"

namespace {

// Whether path lies in the shell folder csidl (or is it), both in long form.
bool IsInShellFolder(TPlatform& os, int csidl, const std::string& path) {
  const std::optional<std::string> shellFolder = os.GetShellFolder(csidl).Known();
  if (!shellFolder) return false;
  const std::string folder = WithBackslash(PathKey(os.LongPathName(*shellFolder)));
  return WithBackslash(PathKey(os.LongPathName(path))).compare(0, folder.size(), folder) == 0;
}

// A level that others may add to still keeps the entries on the way.
bool PassesAsLevelAbove(const TFolderAccess& access) {
  return access.OwnerIsTrusted && !access.OthersMayRemove && !access.OthersMayChangeRules;
}

bool PassesAsFolder(const TFolderAccess& access) { return PassesAsLevelAbove(access) && !access.OthersMayAdd; }

}  // namespace

bool IsInProgramFiles(TPlatform& os, const std::string& path) {
  return IsInShellFolder(os, kCsidlProgramFiles, path);
}

TFolderAcl FolderAclFor(TPlatform& os, const std::string& path, TFolderProtection protection) {
  if (protection == TFolderProtection::Inherited || IsInProgramFiles(os, path)) return TFolderAcl::Inherited;
  if (os.IsElevated()) return TFolderAcl::ProgramFiles;
  // Elsewhere the parent may pass on to every user the right to replace
  // this user's programs.
  return IsInShellFolder(os, kCsidlProfile, path) ? TFolderAcl::Inherited : TFolderAcl::ThisUser;
}

TFolderCheck CheckFolder(TPlatform& os, const std::string& folder) {
  TFolderCheck check;
  const std::string full = WithBackslash(os.LongPathName(folder));
  if (!StartsAtDriveRoot(full)) {
    check.Failed = full;
    return check;
  }
  const std::vector<std::string> names = SplitPath(full);
  std::string path = full.substr(0, 3);
  std::unique_ptr<TFolderHandle> level = os.TryOpenFolderNoFollow(path);
  for (size_t next = 0;; ++next) {
    if (!level) {
      // Missing (what is made there is this process's own) or out of reach;
      // a link or a file in the folder's place is refused.
      check.FailedIsLink = IsReparsePoint(os, path);
      if (check.FailedIsLink || os.FileExists(WithoutBackslash(path))) check.Failed = path;
      return check;
    }
    const TFolderAccess access = level->Access();
    if (next == names.size()) {
      if (!PassesAsFolder(access)) {
        check.Failed = path;
        // Its owner could not change it back once it is protected.
        check.MayProtect = access.OwnerIsTrusted;
      }
      check.Folder = std::move(level);
      return check;
    }
    if (!PassesAsLevelAbove(access)) {
      check.Failed = path;
      return check;
    }
    level = level->TryOpenSubFolder(names[next]);
    path += names[next] + "\\";
  }
}

TFolderCheck MakeCheckedFolder(TPlatform& os, const std::string& folder, TFolderProtection protection) {
  TFolderCheck check = CheckFolder(os, folder);
  if (check.Folder || !check.Failed.empty()) return check;
  ForceFolders(os, folder, protection);
  return CheckFolder(os, folder);
}
