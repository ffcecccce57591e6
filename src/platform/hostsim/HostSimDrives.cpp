#include "platform/hostsim/HostSim.h"

namespace fs = std::filesystem;

char THostSimPlatform::DriveLetter(char letter) {
  return (letter >= 'a' && letter <= 'z') ? static_cast<char>(letter - 'a' + 'A') : letter;
}

void THostSimPlatform::MapDrive(char letter, const fs::path& folder, TDriveType type) {
  TDrive drive;
  drive.folder = folder;
  drive.type = type;
  drives_[DriveLetter(letter)] = drive;
}

void THostSimPlatform::SetVolume(char letter, const std::string& label, bool ready) {
  TDrive& drive = drives_.at(DriveLetter(letter));
  drive.label = label;
  drive.ready = ready;
}

void THostSimPlatform::SetDiskSpace(char letter, uint64_t bytes) {
  TDrive& drive = drives_.at(DriveLetter(letter));
  drive.limited = true;
  drive.space = bytes;
}

THostSimPlatform::TDrive* THostSimPlatform::DriveOf(const std::string& path) {
  if (path.size() < 2 || path[1] != ':') return nullptr;
  const auto it = drives_.find(DriveLetter(path[0]));
  return it == drives_.end() ? nullptr : &it->second;
}

std::string THostSimPlatform::LogicalDrives() {
  std::string letters;
  for (const auto& drive : drives_) letters += drive.first;
  return letters;
}

TDriveType THostSimPlatform::DriveType(const std::string& root) {
  const TDrive* drive = DriveOf(root);
  return drive ? drive->type : TDriveType::NoRootDir;
}

std::optional<std::string> THostSimPlatform::VolumeLabel(const std::string& root) {
  const TDrive* drive = DriveOf(root);
  if (!drive || !drive->ready) return std::nullopt;
  return drive->label;
}
