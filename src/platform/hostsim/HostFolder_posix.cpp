#include "platform/hostsim/HostFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

class TDescriptorFolder : public THostFolder {
 public:
  explicit TDescriptorFolder(int fd) : fd_(fd) {}
  ~TDescriptorFolder() override { close(fd_); }
  TDescriptorFolder(const TDescriptorFolder&) = delete;
  TDescriptorFolder& operator=(const TDescriptorFolder&) = delete;

  fs::path Location() const override {
    std::error_code ec;
    const fs::path host = fs::read_symlink("/proc/self/fd/" + std::to_string(fd_), ec);
    return ec ? fs::path() : host;
  }

  std::vector<std::string> Names() const override {
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

  TKind KindOf(const std::string& name) const override {
    struct stat info;
    if (fstatat(fd_, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return TKind::Missing;
    if (S_ISDIR(info.st_mode)) return TKind::Folder;
    if (!S_ISLNK(info.st_mode)) return TKind::File;
    return fstatat(fd_, name.c_str(), &info, 0) == 0 && S_ISDIR(info.st_mode) ? TKind::FolderLink
                                                                                : TKind::FileLink;
  }

  std::unique_ptr<THostFolder> OpenChild(const std::string& name) const override {
    const int fd = openat(fd_, name.c_str(), kFolderFlags);
    return fd < 0 ? nullptr : std::make_unique<TDescriptorFolder>(fd);
  }

  bool Unlink(const std::string& name, bool folder) const override {
    return unlinkat(fd_, name.c_str(), folder ? AT_REMOVEDIR : 0) == 0;
  }

 private:
  int fd_;
};

}  // namespace

std::unique_ptr<THostFolder> OpenHostFolder(const fs::path& host) {
  const int fd = open(host.c_str(), kFolderFlags);
  return fd < 0 ? nullptr : std::make_unique<TDescriptorFolder>(fd);
}

std::FILE* OpenHostFile(const fs::path& host, const std::string& mode) {
  return std::fopen(host.c_str(), mode.c_str());
}
