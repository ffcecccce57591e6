// The folder-name rule on any text, checked for what must hold whatever it
// accepts: an accepted folder starts with a drive prefix, has no blank or
// control character at its ends, no doubled backslash and no character that
// Windows refuses in a name; letter case never decides; and the length
// limit ignores a closing backslash and holds for every shorter text.

#include "FuzzCheck.h"
#include "lib/LIB_FolderName.h"
#include "lib/LIB_Text.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string folder(reinterpret_cast<const char*>(data), size);

  FUZZ_CHECK(IsValidFolderName(folder) == IsValidFolderName(LowerCase(folder)));
  if (IsValidFolderName(folder)) {
    FUZZ_CHECK(size >= 3 && static_cast<unsigned char>(folder[0]) > ' ' && folder[1] == ':' && folder[2] == '\\');
    FUZZ_CHECK(static_cast<unsigned char>(folder.back()) > ' ');
    FUZZ_CHECK(folder.find("\\\\") == std::string::npos);
    FUZZ_CHECK(folder.find_first_of("\"*/:<>?", 3) == std::string::npos);
  }

  if (!folder.empty() && folder.back() != '\\')
    FUZZ_CHECK(IsShortEnoughFolder(folder) == IsShortEnoughFolder(folder + '\\'));
  if (IsShortEnoughFolder(folder)) {
    FUZZ_CHECK(size <= kMaxFolderLength + 1);
    if (size > 0) FUZZ_CHECK(IsShortEnoughFolder(folder.substr(0, size - 1)));
  }
  return 0;
}
