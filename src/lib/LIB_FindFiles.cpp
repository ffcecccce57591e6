#include "lib/LIB_FindFiles.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

#include "lib/LIB_Text.h"
#include "platform/Find.h"
#include "platform/Path.h"

namespace {

constexpr int64_t kStartPosition = 10000;
constexpr int64_t kRangeStart = 1000;
constexpr int64_t kRangeEnd = 998000;
constexpr int64_t kSortPosition = 999000;
constexpr int64_t kEndPosition = 1000000;

// The trimmed, non-empty pieces of a list separated by ";".
std::vector<std::string> Pieces(const std::string& list) {
  std::vector<std::string> pieces;
  const std::string text = Trim(list) + ";";
  size_t start = 0;
  for (size_t end; (end = text.find(';', start)) != std::string::npos; start = end + 1) {
    std::string piece = Trim(text.substr(start, end - start));
    if (!piece.empty()) pieces.push_back(std::move(piece));
  }
  return pieces;
}

bool WantedDrive(uint8_t driveKind, TDriveType type) {
  switch (type) {
    case TDriveType::Fixed:
      return driveKind >= 1 && driveKind <= 3;
    case TDriveType::Removable:
    case TDriveType::RamDisk:
      return driveKind == 2 || driveKind == 3;
    case TDriveType::Remote:
    case TDriveType::CDRom:
      return driveKind == 3;
    default:
      return false;
  }
}

class TSearch {
 public:
  TSearch(TPlatform& os, int32_t maxCount, const TFindFilter& onFilter,
          const TFindProgress& onProgress)
      : os_(os), maxCount_(maxCount), onFilter_(onFilter), onProgress_(onProgress) {}

  void Report(int64_t position) {
    if (onProgress_) stop_ = onProgress_(static_cast<uint8_t>(position / 10000));
  }

  bool Stopped() const { return stop_; }

  void SetMasks(std::vector<std::string> masks) { masks_ = std::move(masks); }

  void SearchFolder(const std::string& folder, int64_t lo, int64_t hi) {
    TSearchRec rec;
    for (const std::string& mask : masks_) {
      TFind files(os_, folder + mask, faAnyFile);
      while (!Full() && files.Next(rec)) Consider(folder + rec.Name);
    }

    TFind subfolders(os_, folder + "*.*", faReadOnly | faSysFile | faArchive | faDirectory);
    int64_t width = hi - lo;
    int64_t cursor = lo;
    while (!stop_ && subfolders.Next(rec)) {
      if (!(rec.Attr & faDirectory) || (rec.Attr & faReparsePoint) || rec.Name == "." ||
          rec.Name == "..")
        continue;
      const int64_t part = width / 8;
      const int64_t childLo = cursor;
      const int64_t childHi = std::min(cursor + part, hi);
      width -= part;
      cursor = childHi;
      if (!stop_) SearchFolder(folder + rec.Name + "\\", childLo, childHi);
    }
    Report(hi);
  }

  std::vector<std::string> TakeResult() { return std::move(result_); }

 private:
  bool Full() const { return maxCount_ != 0 && result_.size() >= static_cast<size_t>(maxCount_); }

  void Consider(const std::string& path) {
    const std::string name = ExtractFileName(path);
    if (name == "." || name == "..") return;
    std::string key = LowerCase(path);
    if (seen_.count(key)) return;
    if (onFilter_ && !onFilter_(path)) return;
    seen_.insert(std::move(key));
    result_.push_back(path);
  }

  TPlatform& os_;
  int32_t maxCount_;
  const TFindFilter& onFilter_;
  const TFindProgress& onProgress_;
  std::vector<std::string> masks_;
  std::vector<std::string> result_;
  std::unordered_set<std::string> seen_;
  bool stop_ = false;
};

}  // namespace

std::vector<std::string> FindFiles(TPlatform& os, const std::string& masks, uint8_t driveKind,
                                   const std::string& folders, int32_t maxCount,
                                   const TFindFilter& onFilter, const TFindProgress& onProgress) {
  TSearch search(os, maxCount, onFilter, onProgress);

  std::vector<std::string> maskList;
  for (std::string& mask : Pieces(masks)) maskList.push_back(mask == "*" ? "*.*" : mask);
  if (maskList.empty()) maskList.push_back("*.*");
  search.SetMasks(std::move(maskList));

  std::vector<std::string> roots;
  if (driveKind == 0) {
    roots.push_back(os.CurrentFolder().substr(0, 3));
  } else {
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
      const std::string root = DriveRoot(letter);
      if (WantedDrive(driveKind, os.DriveType(root))) roots.push_back(root);
    }
  }
  for (const std::string& folder : Pieces(folders)) roots.push_back(WithBackslash(folder));
  search.Report(kStartPosition);

  const double share = static_cast<double>(kRangeEnd) / static_cast<double>(roots.size());
  for (size_t i = 1; i <= roots.size() && !search.Stopped(); ++i) {
    const int64_t lo = static_cast<int64_t>(std::nearbyint(share * static_cast<double>(i - 1))) +
                       kRangeStart;
    const int64_t hi = static_cast<int64_t>(std::nearbyint(share * static_cast<double>(i)));
    search.SearchFolder(roots[i - 1], lo, hi);
  }

  search.Report(kSortPosition);
  std::vector<std::string> result = search.TakeResult();
  std::stable_sort(result.begin(), result.end(), LessText);
  search.Report(kEndPosition);
  return result;
}
