#include "platform/Files.h"

#include "platform/Path.h"

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
  std::string name;
  for (int n = 0; n < kNames; ++n) {
    name = n == 0 ? path : path + "." + std::to_string(n);
    if (std::unique_ptr<TFile> file = os.TryCreateNewFile(name)) {
      made = name;
      return file;
    }
  }
  const std::string reason = "the file exists (error " + std::to_string(kErrorFileExists) + ")";
  throw EPlatformError(kErrorFileExists, "Cannot open for writing \"" + name + "\": " + reason, reason);
}

bool ForceFolders(TPlatform& os, const std::string& path, TFolderProtection protection) {
  const std::string folder = WithoutBackslash(path);
  if (folder.size() < 3 || os.FolderExists(folder)) return true;
  // A name ending in ":" ("C:\x:") is its own folder part: no level of it
  // can be made, and walking up would never end.
  const std::string parent = ExtractFilePath(folder);
  if (parent.size() >= folder.size()) return false;
  return ForceFolders(os, parent, protection) && os.TryCreateFolder(folder, protection);
}
