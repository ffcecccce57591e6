#include "platform/hostsim/HostFolder.h"

#include <algorithm>

namespace fs = std::filesystem;

namespace {

class TPathFolder : public THostFolder {
 public:
  explicit TPathFolder(fs::path host) : host_(std::move(host)) {}

  fs::path Location() const override {
    std::error_code ec;
    return fs::is_directory(fs::symlink_status(host_, ec)) ? host_ : fs::path();
  }

  std::vector<std::string> Names() const override {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(host_, ec), last; !ec && it != last; it.increment(ec))
      names.push_back(it->path().filename().string());
    return names;
  }

  TKind KindOf(const std::string& name) const override {
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(host_ / name, ec);
    if (fs::is_symlink(status))
      return fs::is_directory(host_ / name, ec) ? TKind::FolderLink : TKind::FileLink;
    if (fs::is_directory(status)) return TKind::Folder;
    return fs::exists(status) ? TKind::File : TKind::Missing;
  }

  std::unique_ptr<THostFolder> OpenChild(const std::string& name) const override {
    return KindOf(name) == TKind::Folder ? std::make_unique<TPathFolder>(host_ / name) : nullptr;
  }

  bool Unlink(const std::string& name, bool) const override {
    std::error_code ec;
    return fs::remove(host_ / name, ec) && !ec;
  }

 private:
  fs::path host_;
};

}  // namespace

std::unique_ptr<THostFolder> OpenHostFolder(const fs::path& host) {
  std::error_code ec;
  return fs::is_directory(fs::symlink_status(host, ec)) ? std::make_unique<TPathFolder>(host) : nullptr;
}

std::FILE* OpenHostFile(const fs::path& host, const std::string& mode) {
  // By its wide name: the narrow one of a path on Windows is UTF-8, which the
  // runtime's fopen would read in the ANSI code page, and a name beyond
  // ASCII would then name another file. The system's runtime knows no
  // exclusive mode; the caller's test for an entry of the name stands for it.
  std::wstring how(mode.begin(), mode.end());
  how.erase(std::remove(how.begin(), how.end(), L'x'), how.end());
  return _wfopen(host.c_str(), how.c_str());
}
