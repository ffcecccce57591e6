#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Platform.h"

// Folders listed through TPlatform::FindFirst.

// One find-first/find-next enumeration with an attribute mask: entries that
// are hidden, system files or folders are returned only when the mask holds
// that attribute; read-only, archive and the rest never exclude an entry.
class TFind {
 public:
  TFind(TPlatform& os, const std::string& pattern, uint32_t attrMask);
  bool Next(TSearchRec& rec);

 private:
  std::unique_ptr<TFindEnumerator> enumerator_;
  uint32_t exclude_;
};

// The names of the sub-folders of a folder ("C:\" or "C:\A\B"), hidden and
// system ones included, without "." and "..", in the order the file system
// gives them; none when the folder cannot be listed.
std::vector<std::string> ListSubFolders(TPlatform& os, const std::string& folder);

// Whether the entry at path (a folder may end with a backslash) is a link to
// somewhere else: a junction, a symbolic link or any other reparse point.
// False when there is no such entry, and for a drive's root.
bool IsReparsePoint(TPlatform& os, const std::string& path);

// The first folder on the way from the drive to path, path included, that
// exists and is a reparse point, with its closing backslash; "" when there
// is none.
std::string FirstReparsePoint(TPlatform& os, const std::string& path);
