#include "platform/hostsim/HostSim.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <system_error>

#ifndef _WIN32
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

constexpr uint32_t kErrorNotSupported = 50;

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

std::string LowerText(std::string s) {
  std::transform(s.begin(), s.end(), s.begin(), Lower);
  return s;
}

bool SameText(const std::string& a, const std::string& b) { return LowerText(a) == LowerText(b); }

// The form under which the simulation files its facts about a path.
std::string Key(const std::string& path) {
  std::string key = LowerText(path);
  while (key.size() > 3 && key.back() == '\\') key.pop_back();
  return key;
}

std::string Reason(uint32_t code) {
  switch (code) {
    case kErrorFileNotFound: return "the file does not exist";
    case kErrorPathNotFound: return "the folder does not exist";
    case kErrorAccessDenied: return "access is denied";
    case kErrorFileExists: return "the file exists";
    case kErrorSharingViolation: return "the file is in use by another program";
    case kErrorDiskFull: return "the disk is full";
    case kErrorNotSupported: return "no desktop shell answers, and nothing is opened as administrator";
    default: return "the system reported a failure";
  }
}

[[noreturn]] void Fail(uint32_t code, const std::string& action, const std::string& path) {
  const std::string reason = Reason(code) + " (error " + std::to_string(code) + ")";
  throw EPlatformError(code, "Cannot " + action + " \"" + path + "\": " + reason, reason);
}

uint32_t CodeFromErrno(int error) {
  switch (error) {
    case ENOENT: return kErrorFileNotFound;
    case ENOSPC: return kErrorDiskFull;
    case EACCES: case EPERM: case EISDIR: case EROFS: return kErrorAccessDenied;
    default: return 31;  // a general failure
  }
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

// The glob itself, folding A to Z as it goes; maskEnd allows a mask's tail
// to be left out.
bool Glob(const char* mask, const char* maskEnd, const char* name) {
  const char* starMask = nullptr;
  const char* starName = nullptr;
  while (*name) {
    if (mask != maskEnd && *mask == '*') {
      starMask = ++mask;
      starName = name;
    } else if (mask != maskEnd && (*mask == '?' || Lower(*mask) == Lower(*name))) {
      ++mask;
      ++name;
    } else if (starMask) {
      mask = starMask;
      name = ++starName;
    } else {
      return false;
    }
  }
  while (mask != maskEnd && *mask == '*') ++mask;
  return mask == maskEnd;
}

// NTFS lists a folder in the order of its upper-cased names.
bool InNtfsOrder(const TSearchRec& a, const TSearchRec& b) {
  return std::lexicographical_compare(a.Name.begin(), a.Name.end(), b.Name.begin(), b.Name.end(),
                                      [](char x, char y) { return Upper(x) < Upper(y); });
}

bool IsPlainName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find_first_of("\\/") == std::string::npos;
}

class THostSimEnumerator : public TFindEnumerator {
 public:
  explicit THostSimEnumerator(std::vector<TSearchRec> entries) : entries_(std::move(entries)) {}
  bool Next(TSearchRec& rec) override {
    if (next_ >= entries_.size()) return false;
    rec = std::move(entries_[next_++]);
    return true;
  }

 private:
  std::vector<TSearchRec> entries_;
  size_t next_ = 0;
};

// Days since 1970-01-01 of a civil date, and back: the proleptic Gregorian
// calendar in eras of 400 years.
int64_t DaysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

}  // namespace

bool MatchesMask(const std::string& mask, const std::string& name) {
  const char* m = mask.c_str();
  if (Glob(m, m + mask.size(), name.c_str())) return true;
  return mask.size() >= 2 && mask.compare(mask.size() - 2, 2, ".*") == 0 &&
         name.find('.') == std::string::npos && Glob(m, m + mask.size() - 2, name.c_str());
}

// A file on a simulated drive: counts what it writes against the drive's
// space.
class THostSimFile : public TFile {
 public:
  THostSimFile(std::FILE* file, THostSimPlatform* os, std::string path)
      : file_(file), os_(os), path_(std::move(path)) {}

  void Write(const void* data, size_t size) override {
    if (!file_) Fail(6, "write to", path_);
    THostSimPlatform::TDrive* drive = os_->DriveOf(path_);
    size_t accepted = size;
    if (drive && drive->limited && drive->space < size) accepted = static_cast<size_t>(drive->space);
    const size_t written = std::fwrite(data, 1, accepted, file_.get());
    if (drive && drive->limited) drive->space -= written;
    if (written != accepted) Fail(CodeFromErrno(errno), "write to", path_);
    if (accepted != size) Fail(kErrorDiskFull, "write to", path_);
  }

  size_t Read(void* data, size_t size) override {
    if (!file_) Fail(6, "read from", path_);
    const size_t got = std::fread(data, 1, size, file_.get());
    if (got != size && std::ferror(file_.get())) Fail(CodeFromErrno(errno), "read from", path_);
    return got;
  }

  void Close() override {
    if (!file_) return;
    const int result = std::fclose(file_.release());
    if (result != 0) Fail(CodeFromErrno(errno), "close", path_);
  }

 private:
  std::unique_ptr<std::FILE, FileCloser> file_;
  THostSimPlatform* os_;
  std::string path_;
};

// A folder held open. On Linux by a descriptor, as Windows holds a folder by
// its handle: once the folder is moved and a link put at its name, what goes
// through it still reaches the folder itself, never the link. The Windows
// build of the simulation, where the tests cannot make host links, keeps the
// host path instead.
class THostSimFolder : public TFolderHandle {
 public:
#ifdef _WIN32
  THostSimFolder(THostSimPlatform* os, fs::path host) : os_(os), host_(std::move(host)) {}
#else
  THostSimFolder(THostSimPlatform* os, int fd) : os_(os), fd_(fd) {}
  ~THostSimFolder() override { close(fd_); }
#endif
  THostSimFolder(const THostSimFolder&) = delete;
  THostSimFolder& operator=(const THostSimFolder&) = delete;

  std::string FinalPath() override { return os_->WindowsPath(Location()); }

  std::vector<TSearchRec> Entries() override {
    std::vector<TSearchRec> entries;
    const std::string folder = FinalPath();
    if (folder.empty() || os_->IsDenied(folder)) return entries;
    for (const std::string& name : Names()) {
      const TKind kind = KindOf(name);
      if (kind == TKind::Missing) continue;
      TSearchRec rec{name, kind == TKind::File ? faArchive : 0};
      const auto stored = os_->attributes_.find(Key(folder + name));
      if (stored != os_->attributes_.end()) rec.Attr = stored->second;
      if (kind == TKind::Folder || kind == TKind::FolderLink) rec.Attr |= faDirectory;
      if (kind == TKind::FileLink || kind == TKind::FolderLink) rec.Attr |= faReparsePoint;
      entries.push_back(std::move(rec));
    }
    std::sort(entries.begin(), entries.end(), InNtfsOrder);
    return entries;
  }

  std::unique_ptr<TFolderHandle> OpenSubFolder(const std::string& name) override {
    const std::string actual = Actual(name);
    const std::string folder = FinalPath();
    if (actual.empty() || folder.empty() || os_->IsDenied(folder + actual)) return nullptr;
    std::unique_ptr<THostSimFolder> sub = OpenChild(actual);
    if (sub && os_->folderOpened_) os_->folderOpened_(folder + actual);
    return sub;
  }

  TFolderAccess Access() override {
    TFolderAccess access;
    const std::string folder = FinalPath();
    if (folder.empty()) return access;
    const THostSimPlatform::TFolderSecurity security = os_->FolderSecurity(folder);
    access.OwnerIsTrusted = IsTrusted(security.Owner);
    const bool others = std::any_of(security.Writers.begin(), security.Writers.end(),
                                    [](const std::string& account) { return !IsTrusted(account); });
    access.OthersMayAdd = others || security.EveryUserMayAddFolders;
    access.OthersMayRemove = access.OthersMayChangeRules = others;
    return access;
  }

  bool Protect() override {
    const std::string folder = FinalPath();
    if (folder.empty()) return false;
    THostSimPlatform::TFolderSecurity security = os_->FolderSecurity(folder);
    // Changing the access list takes the owner or someone who may change it.
    const auto holds = [&](const std::string& account) {
      return security.Owner == account || security.Writers.count(account) > 0;
    };
    if (!holds(THostSimPlatform::kUser) && !(os_->elevated_ && holds(THostSimPlatform::kAdministrators)))
      return false;
    security.Writers = security.Inheritable = {THostSimPlatform::kSystem, THostSimPlatform::kAdministrators};
    security.EveryUserMayAddFolders = false;
    os_->security_[Key(folder)] = security;
    return true;
  }

  bool Remove(const std::string& name) override {
    if (!IsPlainName(name)) return false;
    const std::string actual = Actual(name);
    if (actual.empty()) return true;
    const std::string folder = FinalPath();
    const std::string path = folder + actual;
    if (folder.empty() || os_->IsDenied(path)) return false;
    const TKind kind = KindOf(actual);
    if (kind != TKind::Folder && (os_->IsLocked(path) || (os_->StoredAttributes(path) & faReadOnly)))
      return false;
    if (!Unlink(actual, kind == TKind::Folder)) return false;
    os_->attributes_.erase(Key(path));
    os_->security_.erase(Key(path));
    return true;
  }

 private:
  enum class TKind { Missing, File, Folder, FileLink, FolderLink };

  static bool IsTrusted(const std::string& account) {
    return account == THostSimPlatform::kSystem || account == THostSimPlatform::kAdministrators ||
           account == THostSimPlatform::kTrustedInstaller || account == THostSimPlatform::kUser;
  }

  // The name as the folder holds it, matched without regard to case; empty
  // when there is none.
  std::string Actual(const std::string& name) {
    if (!IsPlainName(name)) return std::string();
    if (KindOf(name) != TKind::Missing) return name;
    for (const std::string& held : Names())
      if (SameText(held, name)) return held;
    return std::string();
  }

#ifdef _WIN32
  fs::path Location() const {
    std::error_code ec;
    return fs::is_directory(fs::symlink_status(host_, ec)) ? host_ : fs::path();
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(host_, ec), last; !ec && it != last; it.increment(ec))
      names.push_back(it->path().filename().string());
    return names;
  }
  TKind KindOf(const std::string& name) const {
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(host_ / name, ec);
    if (fs::is_symlink(status))
      return fs::is_directory(host_ / name, ec) ? TKind::FolderLink : TKind::FileLink;
    if (fs::is_directory(status)) return TKind::Folder;
    return fs::exists(status) ? TKind::File : TKind::Missing;
  }
  std::unique_ptr<THostSimFolder> OpenChild(const std::string& name) const {
    return KindOf(name) == TKind::Folder ? std::make_unique<THostSimFolder>(os_, host_ / name) : nullptr;
  }
  bool Unlink(const std::string& name, bool) const {
    std::error_code ec;
    return fs::remove(host_ / name, ec) && !ec;
  }
#else
  fs::path Location() const {
    std::error_code ec;
    const fs::path host = fs::read_symlink("/proc/self/fd/" + std::to_string(fd_), ec);
    return ec ? fs::path() : host;
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    const int copy = fcntl(fd_, F_DUPFD_CLOEXEC, 0);
    DIR* listing = copy < 0 ? nullptr : fdopendir(copy);
    if (!listing) {
      if (copy >= 0) close(copy);
      return names;
    }
    // The copy shares the position of the descriptor it was made from.
    rewinddir(listing);
    while (const dirent* entry = readdir(listing)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(listing);
    return names;
  }
  TKind KindOf(const std::string& name) const {
    struct stat info;
    if (fstatat(fd_, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return TKind::Missing;
    if (S_ISDIR(info.st_mode)) return TKind::Folder;
    if (!S_ISLNK(info.st_mode)) return TKind::File;
    return fstatat(fd_, name.c_str(), &info, 0) == 0 && S_ISDIR(info.st_mode) ? TKind::FolderLink
                                                                                : TKind::FileLink;
  }
  std::unique_ptr<THostSimFolder> OpenChild(const std::string& name) const {
    const int fd = openat(fd_, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    return fd < 0 ? nullptr : std::make_unique<THostSimFolder>(os_, fd);
  }
  bool Unlink(const std::string& name, bool folder) const {
    return unlinkat(fd_, name.c_str(), folder ? AT_REMOVEDIR : 0) == 0;
  }
#endif

  THostSimPlatform* os_;
#ifdef _WIN32
  fs::path host_;
#else
  int fd_;
#endif
};

THostSimPlatform::THostSimPlatform(fs::path stateFolder) : stateFolder_(std::move(stateFolder)) {
  SetClock(TLocalTime{2026, 1, 5, 1, 12, 0, 0, 0});
}

void THostSimPlatform::MapDrive(char letter, const fs::path& folder, TDriveType type) {
  TDrive drive;
  drive.folder = folder;
  drive.type = type;
  drives_[Upper(letter)] = drive;
}

void THostSimPlatform::SetVolume(char letter, const std::string& label, bool ready) {
  TDrive& drive = drives_.at(Upper(letter));
  drive.label = label;
  drive.ready = ready;
}

void THostSimPlatform::SetAttributes(const std::string& path, uint32_t attr) {
  attributes_[Key(path)] = attr & (faReadOnly | faHidden | faSysFile | faArchive);
}

void THostSimPlatform::SetShellFolder(int csidl, const std::string& path, int32_t result) {
  shellFolders_[csidl] = {path, result};
}

void THostSimPlatform::SetClock(const TLocalTime& now) {
  const int64_t days = DaysFromCivil(now.Year, now.Month, now.Day);
  clockMs_ = ((days * 24 + now.Hour) * 60 + now.Minute) * 60000 + now.Second * 1000 +
             now.Millisecond;
}

void THostSimPlatform::FailCreateFolder(const std::string& path) { failCreate_.insert(Key(path)); }

void THostSimPlatform::LockFile(const std::string& path, bool locked) {
  if (locked)
    locked_.insert(Key(path));
  else
    locked_.erase(Key(path));
}

void THostSimPlatform::DenyAccess(const std::string& path) { denied_.insert(Key(path)); }

void THostSimPlatform::SetDiskSpace(char letter, uint64_t bytes) {
  TDrive& drive = drives_.at(Upper(letter));
  drive.limited = true;
  drive.space = bytes;
}

bool THostSimPlatform::Resolve(const std::string& given, fs::path& host) const {
  // A path that starts with one backslash is on the current folder's drive,
  // as Windows takes it.
  const bool onCurrentDrive = !given.empty() && given[0] == '\\' &&
                              (given.size() == 1 || given[1] != '\\') && currentFolder_.size() >= 2;
  const std::string path = onCurrentDrive ? currentFolder_.substr(0, 2) + given : given;
  if (path.size() < 2 || path[1] != ':') return false;
  const auto drive = drives_.find(Upper(path[0]));
  if (drive == drives_.end() || !drive->second.ready) return false;
  host = drive->second.folder;
  // The spelling given is the usual case and costs one look-up; only a name
  // in another case needs the folders' listings.
  std::error_code ec;
  if (path.size() > 2 && path[2] == '\\' && path.find('/') == std::string::npos) {
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
  size_t start = 2;
  while (start <= path.size()) {
    size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    const std::string part = path.substr(start, end - start);
    start = end + 1;
    if (part.empty() || part == ".") continue;
    if (part == ".." || part.find('/') != std::string::npos) return false;
    if (fs::exists(fs::symlink_status(host / part, ec))) {
      host /= part;
      continue;
    }
    std::string actual = part;
    for (fs::directory_iterator it(host, ec), last; !ec && it != last; it.increment(ec)) {
      const std::string name = it->path().filename().string();
      if (SameText(name, part)) {
        actual = name;
        break;
      }
    }
    host /= actual;
  }
  return true;
}

fs::path THostSimPlatform::HostPath(const std::string& path) const {
  fs::path host;
  if (!Resolve(path, host)) Fail(kErrorPathNotFound, "find", path);
  return host;
}

bool THostSimPlatform::IsDenied(const std::string& path) const {
  const std::string key = Key(path);
  for (const std::string& denied : denied_)
    if (key == denied || (key.size() > denied.size() && key.compare(0, denied.size(), denied) == 0 &&
                          (denied.back() == '\\' || key[denied.size()] == '\\')))
      return true;
  return false;
}

bool THostSimPlatform::IsLocked(const std::string& path) const {
  return locked_.count(Key(path)) > 0 || IsProgramFile(path);
}

uint32_t THostSimPlatform::StoredAttributes(const std::string& path) const {
  const auto it = attributes_.find(Key(path));
  return it == attributes_.end() ? 0 : it->second;
}

THostSimPlatform::TDrive* THostSimPlatform::DriveOf(const std::string& path) {
  if (path.size() < 2 || path[1] != ':') return nullptr;
  const auto it = drives_.find(Upper(path[0]));
  return it == drives_.end() ? nullptr : &it->second;
}

std::string THostSimPlatform::LongPathName(const std::string& given) {
  // The simulation has no short names: only the full form and the stored
  // letter case are left to give.
  std::string path = given;
  if (!path.empty() && path[0] == '\\' && (path.size() == 1 || path[1] != '\\'))
    path = currentFolder_.substr(0, 2) + path;
  else if (path.size() < 2 || path[1] != ':')
    path = WithBackslash(currentFolder_) + path;
  if (path.size() < 3 || path[2] != '\\') return given;
  std::vector<std::string> names;
  for (size_t start = 3; start < path.size();) {
    const size_t end = std::min(path.find('\\', start), path.size());
    const std::string name = path.substr(start, end - start);
    start = end + 1;
    if (name == "..") {
      if (!names.empty()) names.pop_back();
    } else if (!name.empty() && name != ".") {
      names.push_back(name);
    }
  }
  std::string result = {Upper(path[0]), ':', '\\'};
  fs::path host;
  bool found = Resolve(result, host);
  std::error_code ec;
  for (size_t i = 0; i < names.size(); ++i) {
    std::string name = names[i];
    if (found) {
      found = false;
      for (fs::directory_iterator it(host, ec), last; !ec && it != last; it.increment(ec))
        if (SameText(it->path().filename().string(), name)) {
          name = it->path().filename().string();
          host = it->path();
          found = true;
          break;
        }
    }
    result += name + (i + 1 < names.size() ? "\\" : "");
  }
  if (!names.empty() && given.size() > 1 && given.back() == '\\') result += '\\';
  return result;
}

bool THostSimPlatform::FolderExists(const std::string& path) {
  fs::path host;
  std::error_code ec;
  return Resolve(path, host) && fs::is_directory(host, ec);
}

bool THostSimPlatform::CreateFolder(const std::string& path, TFolderProtection protection) {
  fs::path host;
  if (!Resolve(path, host) || IsDenied(path) || failCreate_.count(Key(path))) return false;
  const TFolderAcl acl = FolderAclFor(*this, path, protection);
  TFolderSecurity made = FolderSecurity(path);
  std::error_code ec;
  if (!fs::create_directory(host, ec) || ec) return false;
  // An elevated process makes what the administrators own.
  made.Owner = elevated_ ? kAdministrators : kUser;
  if (acl == TFolderAcl::ProgramFiles) made.Writers = made.Inheritable = {kSystem, kAdministrators};
  if (acl == TFolderAcl::ThisUser) made.Writers = made.Inheritable = {kSystem, kAdministrators, kUser};
  if (acl != TFolderAcl::Inherited) protected_.push_back(path);
  security_[Key(path)] = made;
  return true;
}

void THostSimPlatform::SetFolderSecurity(const std::string& path, const std::string& owner,
                                         std::set<std::string> writers) {
  security_[Key(path)] = TFolderSecurity{owner, writers, writers, false};
}

THostSimPlatform::TFolderSecurity THostSimPlatform::FolderSecurity(const std::string& path) const {
  const std::string key = Key(path);
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

namespace {

bool Holds(const std::set<std::string>& accounts, const std::string& account) {
  return accounts.count(account) > 0 || accounts.count(THostSimPlatform::kEveryUser) > 0;
}

// The folder above path, with its closing backslash.
std::string Parent(const std::string& path) { return ExtractFilePath(WithoutBackslash(path)); }

}  // namespace

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
  security_[Key(path)] = made;
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
  const std::string source = Key(from), target = Key(to);
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

void THostSimPlatform::SetProgramPath(const std::string& path) {
  programPath_ = path;
  if (!Resolve(path, programHost_)) programHost_.clear();
}

bool THostSimPlatform::IsThisProgram(const std::string& path) {
  std::error_code ec;
  return IsProgramFile(path) && fs::is_regular_file(fs::symlink_status(HostPath(path), ec));
}

bool THostSimPlatform::IsProgramFile(const std::string& path) const {
  // Where the host's names match without case too (Windows), in any spelling.
  const auto spelled = [](const fs::path& host) { return LowerText(host.lexically_normal().make_preferred().string()); };
  fs::path host;
  return !programHost_.empty() && Resolve(path, host) && spelled(host) == spelled(programHost_);
}

bool THostSimPlatform::DeleteFolder(const std::string& path) {
  fs::path host;
  std::error_code ec;
  if (!Resolve(path, host) || IsDenied(path) || !fs::is_directory(host, ec)) return false;
  if (!fs::remove(host, ec) || ec) return false;
  security_.erase(Key(path));
  return true;
}

bool THostSimPlatform::FileExists(const std::string& path) {
  fs::path host;
  std::error_code ec;
  return Resolve(path, host) && fs::is_regular_file(host, ec);
}

std::unique_ptr<TFile> THostSimPlatform::OpenFile(const std::string& path, TOpenMode mode) {
  const std::string action = mode == TOpenMode::Read ? "open" : "open for writing";
  fs::path host;
  if (!Resolve(path, host)) Fail(kErrorPathNotFound, action, path);
  std::error_code ec;
  if (!fs::is_directory(host.parent_path(), ec)) Fail(kErrorPathNotFound, action, path);
  // Whatever has the name, a link to nowhere included.
  if (mode == TOpenMode::CreateNew && !IsDenied(path) && fs::exists(fs::symlink_status(host, ec)))
    Fail(kErrorFileExists, action, path);
  if (IsDenied(path) || fs::is_directory(host, ec)) Fail(kErrorAccessDenied, action, path);
  const bool exists = fs::exists(host, ec);
  if (mode != TOpenMode::Read) {
    if (exists && IsLocked(path)) Fail(kErrorSharingViolation, action, path);
    if (exists && (StoredAttributes(path) & faReadOnly)) Fail(kErrorAccessDenied, action, path);
  }
  const bool creates = mode == TOpenMode::CreateTruncate || mode == TOpenMode::CreateNew;
  if (!creates && !exists) Fail(kErrorFileNotFound, action, path);
#ifdef _WIN32
  // By its wide name: the narrow one of a path on Windows is UTF-8, which the
  // runtime's fopen would read in the ANSI code page, and a name beyond
  // ASCII would then name another file. The system's runtime knows no
  // exclusive mode; the test above stands for it.
  const wchar_t* how = mode == TOpenMode::Read ? L"rb" : creates ? L"wb" : L"r+b";
  std::FILE* file = _wfopen(host.c_str(), how);
#else
  // "x": a name taken since the test above still fails, and a link there is
  // not followed.
  const char* how =
      mode == TOpenMode::Read ? "rb" : mode == TOpenMode::CreateNew ? "wbx" : creates ? "wb" : "r+b";
  std::FILE* file = std::fopen(host.c_str(), how);
#endif
  if (!file) Fail(CodeFromErrno(errno), action, path);
  return std::make_unique<THostSimFile>(file, this, path);
}

bool THostSimPlatform::RemoveFile(const std::string& path) {
  fs::path host;
  std::error_code ec;
  if (!Resolve(path, host) || IsDenied(path) || IsLocked(path) ||
      (StoredAttributes(path) & faReadOnly) || !fs::is_regular_file(host, ec))
    return false;
  attributes_.erase(Key(path));
  return fs::remove(host, ec) && !ec;
}

void THostSimPlatform::MoveReplace(const std::string& from, const std::string& to) {
  fs::path hostFrom, hostTo;
  if (!Resolve(from, hostFrom)) Fail(kErrorPathNotFound, "move", from);
  if (!Resolve(to, hostTo)) Fail(kErrorPathNotFound, "replace", to);
  if (IsDenied(from) || IsDenied(to)) Fail(kErrorAccessDenied, "replace", to);
  if (IsLocked(from)) Fail(kErrorSharingViolation, "move", from);
  std::error_code ec;
  if (fs::exists(hostTo, ec)) {
    if (IsLocked(to)) Fail(kErrorSharingViolation, "replace", to);
    if (StoredAttributes(to) & faReadOnly) Fail(kErrorAccessDenied, "replace", to);
    if (fs::is_directory(hostTo, ec)) Fail(kErrorAccessDenied, "replace", to);
  }
  // The replaced file's name keeps the letter case of the old one, as on Windows.
  fs::rename(hostFrom, hostTo, ec);
  if (ec) Fail(CodeFromErrno(ec.value()), "replace", to);
  attributes_.erase(Key(to));
  const auto moved = attributes_.find(Key(from));
  if (moved != attributes_.end()) {
    attributes_[Key(to)] = moved->second;
    attributes_.erase(moved);
  }
}

std::unique_ptr<TFindEnumerator> THostSimPlatform::FindFirst(const std::string& pattern) {
  const std::string folder = ExtractFilePath(pattern);
  const std::string mask = ExtractFileName(pattern);
  fs::path host;
  std::error_code ec;
  if (!Resolve(folder, host) || IsDenied(folder)) return nullptr;
  fs::directory_iterator listing(host, ec);
  if (ec) return nullptr;  // missing, not a folder, or not readable
  std::vector<TSearchRec> entries;
  const bool isRoot = folder.size() <= 3;
  if (!isRoot) {
    for (const char* dot : {".", ".."})
      if (MatchesMask(mask, dot)) entries.push_back(TSearchRec{dot, faDirectory});
  }
  for (fs::directory_iterator it = std::move(listing), last; !ec && it != last; it.increment(ec)) {
    TSearchRec rec;
    rec.Name = it->path().filename().string();
    if (!MatchesMask(mask, rec.Name)) continue;
    std::error_code ignored;
    const bool isLink = it->is_symlink(ignored);
    const bool isFolder = it->is_directory(ignored);
    const auto stored = attributes_.empty() ? attributes_.end() : attributes_.find(Key(folder + rec.Name));
    if (stored != attributes_.end())
      rec.Attr = stored->second;
    else
      rec.Attr = isFolder ? 0 : faArchive;
    if (isFolder) rec.Attr |= faDirectory;
    if (isLink) rec.Attr |= faReparsePoint;
    entries.push_back(std::move(rec));
  }
  if (entries.empty()) return nullptr;
  std::stable_sort(entries.begin() + (isRoot ? 0 : std::min<size_t>(2, entries.size())),
                   entries.end(), InNtfsOrder);
  return std::make_unique<THostSimEnumerator>(std::move(entries));
}

std::unique_ptr<TFolderHandle> THostSimPlatform::OpenFolderNoFollow(const std::string& path) {
  fs::path host;
  if (!Resolve(path, host) || IsDenied(path)) return nullptr;
#ifdef _WIN32
  std::error_code ec;
  if (!fs::is_directory(fs::symlink_status(host, ec))) return nullptr;
  auto folder = std::make_unique<THostSimFolder>(this, host);
#else
  const int fd = open(host.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return nullptr;
  auto folder = std::make_unique<THostSimFolder>(this, fd);
#endif
  if (folderOpened_) folderOpened_(WithoutBackslash(path));
  return folder;
}

std::string THostSimPlatform::WindowsPath(const fs::path& host) const {
  std::error_code ec;
  const fs::path real = host.empty() ? host : fs::weakly_canonical(host, ec);
  if (real.empty() || ec) return std::string();
  for (const auto& [letter, drive] : drives_) {
    const fs::path relative = real.lexically_relative(fs::weakly_canonical(drive.folder, ec));
    if (ec || relative.empty() || *relative.begin() == "..") continue;
    std::string path = std::string(1, letter) + ":\\";
    for (const fs::path& name : relative)
      if (name != ".") path += name.string() + "\\";
    return path;
  }
  return std::string();
}

TDriveType THostSimPlatform::DriveType(const std::string& root) {
  if (root.size() < 2 || root[1] != ':') return TDriveType::NoRootDir;
  const auto it = drives_.find(Upper(root[0]));
  return it == drives_.end() ? TDriveType::NoRootDir : it->second.type;
}

std::string THostSimPlatform::LogicalDrives() {
  std::string letters;
  for (const auto& drive : drives_) letters += drive.first;
  return letters;
}

bool THostSimPlatform::VolumeLabel(const std::string& root, std::string& label) {
  label.clear();
  const auto it = root.size() < 2 || root[1] != ':' ? drives_.end() : drives_.find(Upper(root[0]));
  if (it == drives_.end() || !it->second.ready) return false;
  label = it->second.label;
  return true;
}

int32_t THostSimPlatform::GetShellFolder(int csidl, std::string& path) {
  const auto it = shellFolders_.find(csidl);
  if (it == shellFolders_.end()) {
    path.clear();
    return static_cast<int32_t>(0x80070002);  // the folder does not exist
  }
  path = it->second.first;
  return it->second.second;
}

void THostSimPlatform::CreateShellLink(const TShellLink& link, const std::string& linkFile) {
  std::string text = "[ShellLink]\nTarget=" + link.Target + "\nDescription=" + link.Description +
                     "\nArguments=" + link.Arguments + "\n";
  if (link.IconIndex >= 0)
    text += "IconLocation=" + link.IconPath + "," + std::to_string(link.IconIndex) + "\n";
  std::unique_ptr<TFile> file = OpenFile(linkFile, TOpenMode::CreateTruncate);
  file->Write(text.data(), text.size());
  file->Close();
}

TShellLink THostSimPlatform::ReadShellLink(const std::string& linkFile) {
  std::unique_ptr<TFile> file = OpenFile(linkFile, TOpenMode::Read);
  std::string text;
  char buffer[4096];
  for (size_t n; (n = file->Read(buffer, sizeof buffer)) > 0;) text.append(buffer, n);
  file->Close();
  std::istringstream lines(text);
  std::string line;
  if (!std::getline(lines, line) || line != "[ShellLink]")
    throw EPlatformError(0x80004005, "\"" + linkFile + "\" is not a shell link");
  TShellLink link;
  while (std::getline(lines, line)) {
    const size_t eq = line.find('=');
    const std::string name = line.substr(0, eq);
    const std::string value = eq == std::string::npos ? std::string() : line.substr(eq + 1);
    if (name == "Target") link.Target = value;
    if (name == "Description") link.Description = value;
    if (name == "Arguments") link.Arguments = value;
    if (name == "IconLocation") {
      const size_t comma = value.rfind(',');
      link.IconPath = value.substr(0, comma);
      link.IconIndex = std::stoi(value.substr(comma + 1));
    }
  }
  return link;
}

void THostSimPlatform::WriteRegistryValue(const std::string& key, const std::string& name,
                                          TRegistryValue value) {
  if (failRegistry_) Fail(kErrorAccessDenied, "write to the registry key", "HKEY_LOCAL_MACHINE\\" + key);
  value.Label = key + '\t' + name;
  registry_[LowerText(key) + '\n' + LowerText(name)] = std::move(value);
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

bool THostSimPlatform::ReadRegistryString(const std::string& key, const std::string& name,
                                          std::string& value) {
  const auto it = registry_.find(LowerText(key) + '\n' + LowerText(name));
  if (it == registry_.end() || it->second.Number) return false;
  value = it->second.Text;
  return true;
}

void THostSimPlatform::SaveRegistry() const {
  std::ofstream out(RegistryFile(), std::ios::binary | std::ios::trunc);
  for (const auto& entry : registry_)
    out << "HKEY_LOCAL_MACHINE\\" << entry.second.Label << '\t' << entry.second.Text << '\n';
  out.close();
  if (!out) Fail(31, "save the simulated registry", RegistryFile().string());
}

void THostSimPlatform::StartProgram(const std::string& commandLine, int showCommand) {
  if (failStart_) Fail(kErrorFileNotFound, "start", commandLine);
  started_.emplace_back(commandLine, showCommand);
}

bool THostSimPlatform::StartProgramAsUser(const std::string& program, int showCommand) {
  if (failStart_) Fail(kErrorFileNotFound, "start", program);
  if (elevated_ && !desktopShell_) return false;
  startedAsUser_.emplace_back(program, showCommand);
  return true;
}

void THostSimPlatform::ShellOpen(const std::string& document) {
  if (failStart_) Fail(kErrorFileNotFound, "open", document);
  if (elevated_ && !desktopShell_) Fail(kErrorNotSupported, "open", document);
  opened_.push_back(document);
}

void THostSimPlatform::Sleep(uint32_t milliseconds) {
  clockMs_ += milliseconds;
  slept_ += milliseconds;
}

TLocalTime THostSimPlatform::LocalTime() {
  const int64_t days = clockMs_ >= 0 ? clockMs_ / 86400000 : -((-clockMs_ + 86399999) / 86400000);
  const int64_t ms = clockMs_ - days * 86400000;
  TLocalTime t;
  CivilFromDays(days, t.Year, t.Month, t.Day);
  t.DayOfWeek = static_cast<int>(((days % 7) + 11) % 7);  // 1970-01-01 was a Thursday (4)
  t.Hour = static_cast<int>(ms / 3600000);
  t.Minute = static_cast<int>(ms / 60000 % 60);
  t.Second = static_cast<int>(ms / 1000 % 60);
  t.Millisecond = static_cast<int>(ms % 1000);
  return t;
}

bool THostSimPlatform::DeleteRegistryKey(const std::string& key) {
  if (failRegistry_) return false;
  // Keys exist here only through their values, filed as the key, a line
  // break and the name; a sub-key's values begin with the key and "\".
  const std::string own = LowerText(key) + '\n';
  const std::string below = LowerText(key) + '\\';
  for (const auto& entry : registry_)
    if (entry.first.compare(0, below.size(), below) == 0) return false;
  for (auto it = registry_.begin(); it != registry_.end();)
    it = it->first.compare(0, own.size(), own) == 0 ? registry_.erase(it) : std::next(it);
  SaveRegistry();
  return true;
}
