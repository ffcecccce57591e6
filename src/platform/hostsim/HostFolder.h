#pragma once
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// What the simulation needs of the host system where Linux and Windows
// differ: a folder held open as itself, and a file opened by its host path.
// On Linux a folder is held by a descriptor, as Windows holds a folder by
// its handle: once the folder is moved and a link put at its name, what goes
// through it still reaches the folder itself, never the link. The Windows
// build of the simulation, where the tests cannot make host links, keeps the
// host path instead (HostFolder_windows.cpp).
class THostFolder {
 public:
  enum class TKind { Missing, File, Folder, FileLink, FolderLink };

  virtual ~THostFolder() = default;
  // Where the folder is now on the host; empty when that cannot be told.
  virtual std::filesystem::path Location() const = 0;
  // The names it holds, without "." and "..", in the host's order.
  virtual std::vector<std::string> Names() const = 0;
  // What the entry of that name is, a link told from what it leads to.
  virtual TKind KindOf(const std::string& name) const = 0;
  // The sub-folder of that name, held open as itself; null when it is no
  // folder, or a link.
  virtual std::unique_ptr<THostFolder> OpenChild(const std::string& name) const = 0;
  // Removes the entry of that name itself; folder: it is an empty folder.
  virtual bool Unlink(const std::string& name, bool folder) const = 0;
};

// The folder at host, held open as itself; null when it is missing, not a
// folder, or a link.
std::unique_ptr<THostFolder> OpenHostFolder(const std::filesystem::path& host);

// The file at host, opened as the C library's fopen opens it with mode
// ("rb", "wb", "r+b", or "wbx" for a file made new that fails on any entry
// of the name, a link included); null, with errno set, when it cannot be.
std::FILE* OpenHostFile(const std::filesystem::path& host, const std::string& mode);
