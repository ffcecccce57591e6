#include "install/UninstallLog.h"

#include <memory>
#include <optional>
#include <stdexcept>

#include "install/Uninstall.h"

namespace {

// The tag of that letter. A switch without a default, so that the compiler
// refuses a tag added to the enum and not here.
std::optional<TUninstallTag> TagOf(char letter) {
  const auto tag = static_cast<TUninstallTag>(letter);
  switch (tag) {
    case TUninstallTag::File:
    case TUninstallTag::DataFolder:
    case TUninstallTag::InstallFolder:
    case TUninstallTag::RegistryKey:
    case TUninstallTag::StartMenuGroup:
    case TUninstallTag::DesktopLink: return tag;
  }
  return std::nullopt;
}

// A log of an install holds a dozen lines of paths: a few kilobytes.
constexpr size_t kLogLimit = 64 * 1024;

std::optional<TUninstallLine> ParseLine(const std::string& line) {
  if (line.size() < 3 || line.front() != '<' || line.back() != '>') return std::nullopt;
  const std::optional<TUninstallTag> tag = TagOf(line[1]);
  if (!tag) return std::nullopt;
  return TUninstallLine{*tag, line.substr(2, line.size() - 3)};
}

}  // namespace

std::string UninstallLineText(const TUninstallLine& line) {
  return "<" + std::string(1, static_cast<char>(line.Tag)) + line.Operand + ">";
}

TUninstallLog ParseUninstallLog(const std::string& text) {
  TUninstallLog log;
  bool first = true;
  for (size_t pos = 0; pos < text.size();) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty()) continue;
    if (first) {
      log.Product = line;
      first = false;
    } else if (const std::optional<TUninstallLine> parsed = ParseLine(line)) {
      log.Lines.push_back(*parsed);
    } else {
      log.Malformed.push_back(line);
    }
  }
  return log;
}

TUninstallLog ReadUninstallLog(TPlatform& os, const std::string& installDir) {
  const std::string path = installDir + kUninstallLogName;
  // One byte beyond the limit tells a longer file; the rest is never read.
  std::string text(kLogLimit + 1, '\0');
  std::unique_ptr<TFile> file = os.OpenFile(path, TOpenMode::Read);
  text.resize(file->Read(&text[0], text.size()));
  file->Close();
  if (text.size() > kLogLimit)
    throw std::runtime_error("\"" + path + "\" is damaged: it is longer than any uninstall log of " +
                             kProductName + ".");
  TUninstallLog log = ParseUninstallLog(text);
  if (log.Product != kProductName)
    throw std::runtime_error("\"" + path + "\" is not an uninstall log of " + kProductName + ".");
  return log;
}
