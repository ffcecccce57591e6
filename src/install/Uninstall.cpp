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

std::vector<TUninstallLine> UninstallLogLines(const TSetupState& state) {
  // The letter case is the uninstaller's: it compares names without regard
  // to case, but the log is read by people too and must not drift.
  const std::string& dir = state.InstallDir;
  using Tag = TUninstallTag;
  std::vector<TUninstallLine> lines = {
      {Tag::File, dir + "Fotelix.Exe"},
      {Tag::File, dir + "Fotelix.dat"},
      {Tag::File, dir + "Fotelix.bak"},
      {Tag::File, dir + "FXInst.Dat"},
      {Tag::File, dir + "Uninstall.Exe"},
      {Tag::File, dir + "Uninstall.Dat"},
      {Tag::DataFolder, state.DataDir},
      {Tag::InstallFolder, dir},
      {Tag::RegistryKey, kUninstallKey},
      {Tag::StartMenuGroup, kProductName},
  };
  if (state.CreateDesktopShortcut) lines.push_back({Tag::DesktopLink, std::string(kProductName) + ".Lnk"});
  return lines;
}

void WriteUninstallLog(TPlatform& os, const TSetupState& state) {
  std::unique_ptr<TFile> file = os.OpenFile(state.InstallDir + kUninstallLogName, TOpenMode::CreateTruncate);
  const auto write = [&](const std::string& line) {
    const std::string text = line + "\r\n";
    file->Write(text.data(), text.size());
  };
  write(kProductName);
  for (const TUninstallLine& line : UninstallLogLines(state)) write(UninstallLineText(line));
  file->Close();
}
