#include "platform/Platform.h"

EPlatformError::EPlatformError(uint32_t code, const std::string& message)
    : std::runtime_error(message), code_(code) {}

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

std::string ExtractFilePath(const std::string& path) {
  const size_t slash = path.find_last_of("\\:");
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string ExtractFileName(const std::string& path) {
  const size_t slash = path.find_last_of("\\:");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}
