#include "install/Uninstall.h"

#include <memory>

std::string UninstallCommand(const TSetupState& state) {
  return "\"" + state.InstallDir + "Uninstall.Exe\"";
}

void RegisterUninstaller(TPlatform& os, const TSetupState& state) {
  os.WriteRegistryString(kUninstallKey, "DisplayName", "Fotelix");
  os.WriteRegistryString(kUninstallKey, "UninstallString", UninstallCommand(state));
  // Without these the system's list offers to change and to repair the
  // product, and either would only start the uninstaller.
  os.WriteRegistryNumber(kUninstallKey, "NoModify", 1);
  os.WriteRegistryNumber(kUninstallKey, "NoRepair", 1);
}

std::vector<std::string> UninstallLogLines(const TSetupState& state) {
  // The letter case is the uninstaller's: it compares names without regard
  // to case, but the log is read by people too and must not drift.
  const std::string& dir = state.InstallDir;
  std::vector<std::string> lines = {
      "Fotelix",
      "<F" + dir + "Fotelix.Exe>",
      "<F" + dir + "Fotelix.dat>",
      "<F" + dir + "Fotelix.bak>",
      "<F" + dir + "FXInst.Dat>",
      "<F" + dir + "Uninstall.Exe>",
      "<F" + dir + "Uninstall.Dat>",
      "<D" + state.DataDir + ">",
      "<E" + dir + ">",
      std::string("<R") + kUninstallKey + ">",
      "<SFotelix>",
  };
  if (state.CreateDesktopShortcut) lines.push_back("<TFotelix.Lnk>");
  return lines;
}

void WriteUninstallLog(TPlatform& os, const TSetupState& state) {
  std::unique_ptr<TFile> file = os.OpenFile(state.InstallDir + kUninstallLogName, TOpenMode::CreateTruncate);
  for (const std::string& line : UninstallLogLines(state)) {
    const std::string text = line + "\r\n";
    file->Write(text.data(), text.size());
  }
  file->Close();
}
