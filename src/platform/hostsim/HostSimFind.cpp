// Folders listed as the system's find-first/find-next lists them.
#include <algorithm>

#include "lib/LIB_Text.h"
#include "platform/Path.h"
#include "platform/hostsim/HostSim.h"

namespace fs = std::filesystem;

namespace {

char UpperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// The glob itself, folding A to Z as it goes; maskEnd allows a mask's tail
// to be left out.
bool Glob(const char* mask, const char* maskEnd, const char* name) {
  const char* starMask = nullptr;
  const char* starName = nullptr;
  while (*name) {
    if (mask != maskEnd && *mask == '*') {
      starMask = ++mask;
      starName = name;
    } else if (mask != maskEnd && (*mask == '?' || LowerCase(*mask) == LowerCase(*name))) {
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

}  // namespace

bool MatchesMask(const std::string& mask, const std::string& name) {
  const char* m = mask.c_str();
  if (Glob(m, m + mask.size(), name.c_str())) return true;
  return mask.size() >= 2 && mask.compare(mask.size() - 2, 2, ".*") == 0 &&
         name.find('.') == std::string::npos && Glob(m, m + mask.size() - 2, name.c_str());
}

bool InNtfsOrder(const TSearchRec& a, const TSearchRec& b) {
  return std::lexicographical_compare(a.Name.begin(), a.Name.end(), b.Name.begin(), b.Name.end(),
                                      [](char x, char y) { return UpperAscii(x) < UpperAscii(y); });
}

std::unique_ptr<TFindEnumerator> THostSimPlatform::FindFirst(const std::string& pattern) {
  const std::string folder = ExtractFilePath(pattern);
  const std::string mask = ExtractFileName(pattern);
  std::vector<TSearchRec> entries;
  fs::path host;
  if (!Resolve(folder, host) || IsDenied(folder)) return std::make_unique<THostSimEnumerator>(entries);
  std::error_code ec;
  fs::directory_iterator listing(host, ec);
  // Missing, not a folder, or not readable: nothing matches.
  if (ec) return std::make_unique<THostSimEnumerator>(entries);
  const bool isRoot = folder.size() <= 3;
  if (!isRoot) {
    for (const char* dot : {".", ".."})
      if (MatchesMask(mask, dot)) entries.push_back(TSearchRec{dot, faDirectory});
  }
  for (fs::directory_iterator last; !ec && listing != last; listing.increment(ec)) {
    TSearchRec rec;
    rec.Name = listing->path().filename().string();
    if (!MatchesMask(mask, rec.Name)) continue;
    std::error_code ignored;
    const bool isLink = listing->is_symlink(ignored);
    const bool isFolder = listing->is_directory(ignored);
    const auto stored = attributes_.empty() ? attributes_.end() : attributes_.find(PathKey(folder + rec.Name));
    if (stored != attributes_.end())
      rec.Attr = stored->second;
    else
      rec.Attr = isFolder ? 0 : faArchive;
    if (isFolder) rec.Attr |= faDirectory;
    if (isLink) rec.Attr |= faReparsePoint;
    entries.push_back(std::move(rec));
  }
  std::stable_sort(entries.begin() + (isRoot ? 0 : std::min<size_t>(2, entries.size())),
                   entries.end(), InNtfsOrder);
  return std::make_unique<THostSimEnumerator>(std::move(entries));
}
