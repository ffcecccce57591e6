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
