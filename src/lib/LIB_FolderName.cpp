#include "lib/LIB_FolderName.h"

#include "platform/Path.h"

namespace {

bool IsBlankOrControl(char c) { return static_cast<unsigned char>(c) <= 32; }

bool IsForbidden(char c) {
  switch (c) {
    case '"': case '*': case '/': case ':': case '<': case '>': case '?': case '|':
      return true;
    default:
      return false;
  }
}

}  // namespace

bool IsValidFolderName(const std::string& folder) {
  // Blanks at the ends are refused rather than repaired: the caller must show
  // the user the folder that will really be used.
  if (!folder.empty() && (IsBlankOrControl(folder.front()) || IsBlankOrControl(folder.back())))
    return false;
  // None of the remaining checks depends on letter case, so the text is
  // examined as it stands.
  if (!StartsAtDriveRoot(folder)) return false;
  if (folder.find("\\\\") != std::string::npos) return false;
  for (size_t i = 2; i < folder.size(); ++i)
    if (IsForbidden(folder[i])) return false;
  // The system cuts trailing dots and blanks from a name, and resolves "."
  // and "..": such a name would be written to one folder and recorded as
  // another.
  for (const std::string& name : SplitPath(folder))
    if (!name.empty() && (name.back() == '.' || name.back() == ' ')) return false;
  return true;
}

bool IsShortEnoughFolder(const std::string& folder) {
  return WithoutBackslash(folder).size() <= kMaxFolderLength;
}
