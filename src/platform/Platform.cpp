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

}  // namespace

bool IsInProgramFiles(TPlatform& os, const std::string& path) {
  std::string programFiles;
  if (os.GetShellFolder(kCsidlProgramFiles, programFiles) != 0 || programFiles.empty()) return false;
  const std::string folder = LowerAscii(WithBackslash(os.LongPathName(programFiles)));
  return LowerAscii(WithBackslash(os.LongPathName(path))).compare(0, folder.size(), folder) == 0;
}

bool TakesProgramFilesProtection(TPlatform& os, const std::string& path, TFolderProtection protection) {
  // Inside Program Files the folder inherits that protection by itself.
  return protection == TFolderProtection::LikeProgramFiles && os.IsElevated() && !IsInProgramFiles(os, path);
}
