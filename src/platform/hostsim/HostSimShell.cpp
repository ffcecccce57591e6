// What the shell does: the folders it names, its links, and the programs and
// documents it starts.
#include <sstream>

#include "platform/Files.h"
#include "platform/hostsim/HostSim.h"
#include "platform/hostsim/HostSimErrors.h"

void THostSimPlatform::SetShellFolder(int csidl, const std::string& path, int32_t result) {
  shellFolders_[csidl] = {path, result};
}

TShellFolder THostSimPlatform::GetShellFolder(int csidl) {
  const auto it = shellFolders_.find(csidl);
  if (it == shellFolders_.end()) return TShellFolder{static_cast<int32_t>(0x80070002), ""};  // no such folder
  return TShellFolder{it->second.second, it->second.first};
}

void THostSimPlatform::CreateShellLink(const TShellLink& link, const std::string& linkFile) {
  std::string text = "[ShellLink]\nTarget=" + link.Target + "\nDescription=" + link.Description +
                     "\nArguments=" + link.Arguments + "\n";
  if (link.IconIndex >= 0)
    text += "IconLocation=" + link.IconPath + "," + std::to_string(link.IconIndex) + "\n";
  std::unique_ptr<TFile> file = OpenFile(linkFile, TOpenMode::CreateTruncate);
  file->Write(text.data(), text.size());
  file->Close();
}

TShellLink THostSimPlatform::ReadShellLink(const std::string& linkFile) {
  std::istringstream lines(ReadWholeFile(*this, linkFile));
  std::string line;
  if (!std::getline(lines, line) || line != "[ShellLink]")
    throw EPlatformError(0x80004005, "\"" + linkFile + "\" is not a shell link");
  TShellLink link;
  while (std::getline(lines, line)) {
    const size_t eq = line.find('=');
    const std::string name = line.substr(0, eq);
    const std::string value = eq == std::string::npos ? std::string() : line.substr(eq + 1);
    if (name == "Target") link.Target = value;
    if (name == "Description") link.Description = value;
    if (name == "Arguments") link.Arguments = value;
    if (name == "IconLocation") {
      const size_t comma = value.rfind(',');
      link.IconPath = value.substr(0, comma);
      link.IconIndex = std::stoi(value.substr(comma + 1));
    }
  }
  return link;
}

void THostSimPlatform::StartProgram(const std::string& commandLine, int showCommand) {
  if (failStart_) Fail(kErrorFileNotFound, "start", commandLine);
  started_.emplace_back(commandLine, showCommand);
}

void THostSimPlatform::StartProgramAsUser(const std::string& program, int showCommand) {
  if (failStart_) Fail(kErrorFileNotFound, "start", program);
  if (elevated_ && !desktopShell_) return;
  startedAsUser_.emplace_back(program, showCommand);
}

bool THostSimPlatform::TryShellOpen(const std::string& document) {
  if (failStart_ || (elevated_ && !desktopShell_)) return false;
  opened_.push_back(document);
  return true;
}
