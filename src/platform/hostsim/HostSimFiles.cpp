// Files on the simulated drives, and the attributes kept of them.
#include <cerrno>
#include <cstdio>

#include "platform/Path.h"
#include "platform/hostsim/HostFolder.h"
#include "platform/hostsim/HostSim.h"
#include "platform/hostsim/HostSimErrors.h"

namespace fs = std::filesystem;

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

}  // namespace

// A file on a simulated drive: counts what it writes against the drive's
// space.
class THostSimFile : public TFile {
 public:
  THostSimFile(std::FILE* file, THostSimPlatform* os, std::string path)
      : file_(file), os_(os), path_(std::move(path)) {}

  void Write(const void* data, size_t size) override {
    if (!file_) Fail(kErrorInvalidHandle, "write to", path_);
    THostSimPlatform::TDrive* drive = os_->DriveOf(path_);
    size_t accepted = size;
    if (drive && drive->limited && drive->space < size) accepted = static_cast<size_t>(drive->space);
    const size_t written = std::fwrite(data, 1, accepted, file_.get());
    if (drive && drive->limited) drive->space -= written;
    if (written != accepted) Fail(CodeFromErrno(errno), "write to", path_);
    if (accepted != size) Fail(kErrorDiskFull, "write to", path_);
  }

  size_t Read(void* data, size_t size) override {
    if (!file_) Fail(kErrorInvalidHandle, "read from", path_);
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

void THostSimPlatform::SetAttributes(const std::string& path, uint32_t attr) {
  attributes_[PathKey(path)] = attr & (faReadOnly | faHidden | faSysFile | faArchive);
}

uint32_t THostSimPlatform::StoredAttributes(const std::string& path) const {
  const auto it = attributes_.find(PathKey(path));
  return it == attributes_.end() ? 0 : it->second;
}

bool THostSimPlatform::FolderExists(const std::string& path) {
  fs::path host;
  std::error_code ec;
  return Resolve(path, host) && fs::is_directory(host, ec);
}

bool THostSimPlatform::FileExists(const std::string& path) {
  fs::path host;
  std::error_code ec;
  return Resolve(path, host) && fs::is_regular_file(host, ec);
}

std::unique_ptr<TFile> THostSimPlatform::OpenFile(const std::string& path, TOpenMode mode) {
  return Open(path, mode == TOpenMode::Read ? "rb" : mode == TOpenMode::CreateTruncate ? "wb" : "r+b");
}

std::unique_ptr<TFile> THostSimPlatform::TryCreateNewFile(const std::string& path) { return Open(path, "wbx"); }

std::unique_ptr<TFile> THostSimPlatform::Open(const std::string& path, const std::string& how) {
  const bool reading = how == "rb", creates = how[0] == 'w', newOnly = how == "wbx";
  const std::string action = reading ? "open" : "open for writing";
  fs::path host;
  if (!Resolve(path, host)) Fail(kErrorPathNotFound, action, path);
  std::error_code ec;
  if (!fs::is_directory(host.parent_path(), ec)) Fail(kErrorPathNotFound, action, path);
  // Whatever has the name, a link to nowhere included.
  if (newOnly && !IsDenied(path) && fs::exists(fs::symlink_status(host, ec))) return nullptr;
  if (IsDenied(path) || fs::is_directory(host, ec)) Fail(kErrorAccessDenied, action, path);
  const bool exists = fs::exists(host, ec);
  if (!reading) {
    if (exists && IsLocked(path)) Fail(kErrorSharingViolation, action, path);
    if (exists && (StoredAttributes(path) & faReadOnly)) Fail(kErrorAccessDenied, action, path);
  }
  if (!creates && !exists) Fail(kErrorFileNotFound, action, path);
  // A name taken since the test above still fails a file made new.
  std::FILE* file = OpenHostFile(host, how);
  if (!file && newOnly && errno == EEXIST) return nullptr;
  if (!file) Fail(CodeFromErrno(errno), action, path);
  return std::make_unique<THostSimFile>(file, this, path);
}

bool THostSimPlatform::TryRemoveFile(const std::string& path) {
  fs::path host;
  std::error_code ec;
  if (!Resolve(path, host) || IsDenied(path) || IsLocked(path) ||
      (StoredAttributes(path) & faReadOnly) || !fs::is_regular_file(host, ec))
    return false;
  attributes_.erase(PathKey(path));
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
  attributes_.erase(PathKey(to));
  const auto moved = attributes_.find(PathKey(from));
  if (moved != attributes_.end()) {
    attributes_[PathKey(to)] = moved->second;
    attributes_.erase(moved);
  }
}
