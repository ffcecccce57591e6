#include "platform/Path.h"

#include <algorithm>

namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

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

std::string JoinPath(const std::string& folder, const std::string& name) { return WithBackslash(folder) + name; }

std::string DriveRoot(char letter) {
  const char upper = (letter >= 'a' && letter <= 'z') ? static_cast<char>(letter - 'a' + 'A') : letter;
  return {upper, ':', '\\'};
}

bool StartsAtDriveRoot(const std::string& path) {
  const char letter = LowerAscii(path.empty() ? '\0' : path[0]);
  return path.size() >= 3 && letter >= 'a' && letter <= 'z' && path[1] == ':' && path[2] == '\\';
}

std::vector<std::string> SplitPath(const std::string& path) {
  size_t start = path.size() >= 2 && path[1] == ':' ? 2 : 0;
  if (start < path.size() && path[start] == '\\') ++start;
  std::vector<std::string> names;
  while (start < path.size()) {
    const size_t end = std::min(path.find('\\', start), path.size());
    names.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return names;
}

std::string PathKey(const std::string& path) {
  std::string key = path;
  std::transform(key.begin(), key.end(), key.begin(), LowerAscii);
  while (key.size() > 3 && key.back() == '\\') key.pop_back();
  return key;
}
