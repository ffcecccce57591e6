#include "platform/Platform.h"

EPlatformError::EPlatformError(uint32_t code, const std::string& message, std::string reason)
    : std::runtime_error(message), code_(code), reason_(reason.empty() ? message : std::move(reason)) {}

TFind::TFind(TPlatform& os, const std::string& pattern, uint32_t attrMask)
    : enumerator_(os.FindFirst(pattern)),
      exclude_(~attrMask & (faHidden | faSysFile | faDirectory)) {}

bool TFind::Next(TSearchRec& rec) {
  if (!enumerator_) return false;
  while (enumerator_->Next(rec))
    if ((rec.Attr & exclude_) == 0) return true;
  enumerator_.reset();
  return false;
}

std::vector<std::string> ListSubFolders(TPlatform& os, const std::string& folder) {
  const std::string pattern = WithBackslash(folder) + "*";
  std::vector<std::string> names;
  TFind find(os, pattern, faAnyFile);
  TSearchRec rec;
  while (find.Next(rec))
    if ((rec.Attr & faDirectory) && rec.Name != "." && rec.Name != "..") names.push_back(rec.Name);
  return names;
}

std::string ExtractFilePath(const std::string& path) {
  const size_t slash = path.find_last_of("\\:");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string ExtractFileName(const std::string& path) {
  const size_t slash = path.find_last_of("\\:");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string WithBackslash(const std::string& folder) {
  if (!folder.empty() && folder.back() == '\\') return folder;
  return folder + '\\';
}

std::string WithoutBackslash(std::string path) {
  if (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

std::string ReadWholeFile(TPlatform& os, const std::string& path) {
  std::unique_ptr<TFile> file = os.OpenFile(path, TOpenMode::Read);
  std::string text;
  char buffer[4096];
  for (size_t n; (n = file->Read(buffer, sizeof buffer)) > 0;) text.append(buffer, n);
  file->Close();
  return text;
}

std::unique_ptr<TFile> CreateNewFile(TPlatform& os, const std::string& path, std::string& made) {
  // Room for the leftovers of runs that ended before they could clean up; a
  // name still taken after all of them is something planted, and the
  // failure says so.
  constexpr int kNames = 16;
  for (int n = 0;; ++n) {
    const std::string name = n == 0 ? path : path + "." + std::to_string(n);
    try {
      std::unique_ptr<TFile> file = os.OpenFile(name, TOpenMode::CreateNew);
      made = name;
      return file;
    } catch (const EPlatformError& error) {
      const bool taken = error.Code() == kErrorFileExists || error.Code() == kErrorAlreadyExists;
      if (!taken || n + 1 == kNames) throw;
    }
  }
}

bool IsReparsePoint(TPlatform& os, const std::string& path) {
  const std::string entry = WithoutBackslash(path);
  // A drive's root is no entry of a folder; a wildcard would match others.
  if (ExtractFileName(entry).empty() || entry.find_first_of("*?") != std::string::npos) return false;
  TFind find(os, entry, faAnyFile);
  TSearchRec rec;
  return find.Next(rec) && (rec.Attr & faReparsePoint);
}

std::string FirstReparsePoint(TPlatform& os, const std::string& path) {
  const std::string full = WithBackslash(path);
  for (size_t end = full.find('\\', 3); end != std::string::npos; end = full.find('\\', end + 1)) {
    const std::string folder = full.substr(0, end + 1);
    if (IsReparsePoint(os, folder)) return folder;
  }
  return "";
}

namespace {

std::string LowerAscii(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

// Whether path lies in the shell folder csidl (or is it), both in long form.
bool IsInShellFolder(TPlatform& os, int csidl, const std::string& path) {
  std::string shellFolder;
  if (os.GetShellFolder(csidl, shellFolder) != 0 || shellFolder.empty()) return false;
  const std::string folder = LowerAscii(WithBackslash(os.LongPathName(shellFolder)));
  return LowerAscii(WithBackslash(os.LongPathName(path))).compare(0, folder.size(), folder) == 0;
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

bool ForceFolders(TPlatform& os, const std::string& path, TFolderProtection protection) {
  const std::string folder = WithoutBackslash(path);
  if (folder.size() < 3 || os.FolderExists(folder)) return true;
  // A name ending in ":" ("C:\x:") is its own folder part: no level of it
  // can be made, and walking up would never end.
  const std::string parent = ExtractFilePath(folder);
  if (parent.size() >= folder.size()) return false;
  return ForceFolders(os, parent, protection) && os.CreateFolder(folder, protection);
}

TFolderCheck CheckFolder(TPlatform& os, const std::string& folder) {
  TFolderCheck check;
  const std::string full = WithBackslash(os.LongPathName(folder));
  if (full.size() < 3 || full[1] != ':' || full[2] != '\\') {
    check.Failed = full;
    return check;
  }
  std::unique_ptr<TFolderHandle> level = os.OpenFolderNoFollow(full.substr(0, 3));
  for (size_t end = 2;;) {
    const std::string path = full.substr(0, end + 1);
    if (!level) {
      // Missing (what is made there is this process's own) or out of reach;
      // a link or a file in the folder's place is refused.
      check.FailedIsLink = IsReparsePoint(os, path);
      if (check.FailedIsLink || os.FileExists(WithoutBackslash(path))) check.Failed = path;
      return check;
    }
    const TFolderAccess access = level->Access();
    const size_t next = full.find('\\', end + 1);
    if (next == std::string::npos) {
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
    level = level->OpenSubFolder(full.substr(end + 1, next - end - 1));
    end = next;
  }
}

TFolderCheck MakeCheckedFolder(TPlatform& os, const std::string& folder, TFolderProtection protection) {
  TFolderCheck check = CheckFolder(os, folder);
  if (check.Folder || !check.Failed.empty()) return check;
  ForceFolders(os, folder, protection);
  return CheckFolder(os, folder);
}
