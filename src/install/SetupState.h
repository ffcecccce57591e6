#pragma once
// What the wizard pages collect and the install and upgrade runs use. The
// pages never talk to each other: one page fills these values and a later
// page or run reads them. The program keeps one instance (Appl_Globals); the
// engines take it as an argument so that tests can give them their own.

#include <cstdint>
#include <string>
#include <vector>

// ConnectionKind's value until the user chooses: "I don't know". The upgrade
// route never shows the connection page and writes this value.
inline constexpr int32_t kConnectionUnknown = 8;

struct TSetupState {
  // Folder paths end with "\"; file names are joined by plain concatenation.
  std::string InstallDir;
  std::string DataDir;
  std::string CacheDir;
  std::string DownloadDir;
  int32_t ConnectionKind = kConnectionUnknown;  // index of the chosen connection item, 0 to 8
  bool AutoUpdate = false;
  std::string InstallerEdition = "XX";
  bool UpgradeChosen = false;
  bool CreateDesktopShortcut = false;
  // Full paths of the program files that the disk search found.
  std::vector<std::string> FoundInstallations;
};
