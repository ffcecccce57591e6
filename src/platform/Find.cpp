#include "platform/Find.h"

#include "platform/Path.h"

TFind::TFind(TPlatform& os, const std::string& pattern, uint32_t attrMask)
    : enumerator_(os.FindFirst(pattern)),
      exclude_(~attrMask & (faHidden | faSysFile | faDirectory)) {}

bool TFind::Next(TSearchRec& rec) {
  while (enumerator_->Next(rec))
    if ((rec.Attr & exclude_) == 0) return true;
  return false;
}

std::vector<std::string> ListSubFolders(TPlatform& os, const std::string& folder) {
  std::vector<std::string> names;
  TFind find(os, JoinPath(folder, "*"), faAnyFile);
  TSearchRec rec;
  while (find.Next(rec))
    if ((rec.Attr & faDirectory) && rec.Name != "." && rec.Name != "..") names.push_back(rec.Name);
  return names;
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
  std::string folder = path.substr(0, 3);
  for (const std::string& name : SplitPath(path)) {
    folder += name + "\\";
    if (IsReparsePoint(os, folder)) return folder;
  }
  return "";
}
