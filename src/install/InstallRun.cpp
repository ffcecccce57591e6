#include "install/InstallRun.h"

#include <cmath>
#include <exception>
#include <stdexcept>

#include "install/DefaultSettings.h"
#include "install/RunSteps.h"
#include "install/Uninstall.h"
#include "lib/LIB_Endpoints.h"

namespace {

// A shell folder + "\Fotelix\", or nothing when the query left no folder.
// The result code is not looked at: a folder that does not exist yet comes
// with a code other than 0, and MakeFolder creates it.
std::string ShellFolderCandidate(TPlatform& os, int csidl) {
  std::string folder;
  os.GetShellFolder(csidl, folder);
  // An empty answer would give "\Fotelix\", a folder on whatever drive is
  // current, and that drive-relative path would end up in the links, the
  // uninstall entry and the log.
  if (folder.empty()) return std::string();
  return folder + "\\Fotelix\\";
}

// Whether the folder exists and takes new files. One that exists can still
// refuse them: Program Files to a user without administrator rights, a
// read-only share.
bool IsUsableFolder(TPlatform& os, const std::string& folder) {
  if (!os.FolderExists(folder)) return false;
  std::string probe;
  try {
    CreateNewFile(os, folder + "~FXProbe.tmp", probe);
  } catch (const std::exception&) {
    return false;
  }
  os.RemoveFile(probe);
  return true;
}

// A link in the place of the installation folder would carry the program
// files, and later the uninstaller's removals, into a folder that someone
// else chose.
void RefuseLinkedFolder(TPlatform& os, const std::string& dir) {
  if (IsReparsePoint(os, dir))
    throw std::runtime_error("Cannot install Fotelix in \"" + dir +
                             "\": that folder is a link (a junction or a symbolic link) to another place.");
}

// The chosen folder, or the first fallback that can be made and written to;
// the first that is a link ends the run. Goes on with the last candidate
// when none can be written to; writing the program file then fails.
void SettleInstallDir(TPlatform& os, TSetupState& state) {
  constexpr TFolderProtection kPrograms = TFolderProtection::LikeProgramFiles;
  const auto usable = [&] {
    RefuseLinkedFolder(os, state.InstallDir);
    return IsUsableFolder(os, state.InstallDir);
  };
  state.InstallDir = WithBackslash(state.InstallDir);
  if (!os.FolderExists(state.InstallDir)) MakeFolder(os, state.InstallDir, kPrograms);
  for (int csidl : {kCsidlProgramFiles, kCsidlLocalAppData}) {
    if (usable()) return;
    const std::string candidate = ShellFolderCandidate(os, csidl);
    if (candidate.empty()) continue;
    state.InstallDir = candidate;
    // The user's own application data is closed to other users already, and
    // the product, started as the user, keeps its settings in that very
    // folder then.
    MakeFolder(os, state.InstallDir,
               csidl == kCsidlLocalAppData ? TFolderProtection::Inherited : kPrograms);
  }
  if (usable()) return;
  state.InstallDir = "C:\\Fotelix\\";
  MakeFolder(os, state.InstallDir, kPrograms);
  RefuseLinkedFolder(os, state.InstallDir);
}

// The per-user data folder, or InstallDir when it cannot be had.
void SettleDataDir(TPlatform& os, TSetupState& state) {
  std::string folder;
  if (os.GetShellFolder(kCsidlLocalAppData, folder) != 0 || folder.empty())
    state.DataDir = state.InstallDir;
  else
    state.DataDir = folder + "\\Fotelix\\";
  state.DataDir = WithBackslash(state.DataDir);
  MakeFolder(os, state.DataDir, TFolderProtection::Inherited);
  if (!IsUsableFolder(os, state.DataDir)) state.DataDir = state.InstallDir;
  state.CacheDir = state.DataDir + "cache\\";
}

// A shell folder that the query names, or a failure: without one the links
// would go to the root of whatever drive is current.
std::string KnownShellFolder(TPlatform& os, int csidl) {
  std::string folder;
  if (os.GetShellFolder(csidl, folder) != 0 || folder.empty())
    throw std::runtime_error("The shell folder " + std::to_string(csidl) + " is unknown.");
  return folder;
}

void RemoveIfThere(TPlatform& os, const std::string& path) {
  if (os.FileExists(path)) os.RemoveFile(path);
}

}  // namespace

void ShowProgress(TPlatform& os, IRunProgressBar& bar, ILabel& label, int32_t position) {
  bar.SetPosition(position);
  label.SetCaption(std::to_string(RoundedPercent(static_cast<uint32_t>(position), bar.Max())) +
                   "% complete");
  os.ProcessMessages();
}

int32_t PositionAtPercent(int32_t maximum, int percent) {
  // The default rounding mode rounds halves to the even neighbour.
  return static_cast<int32_t>(std::nearbyint(static_cast<double>(maximum) / 100.0 * percent));
}

bool ForceFolders(TPlatform& os, const std::string& path, TFolderProtection protection) {
  const std::string folder = WithoutBackslash(path);
  if (folder.size() < 3 || os.FolderExists(folder)) return true;
  // A name ending in ":" ("C:\x:") is its own folder part: no level of it
  // can be made, and walking up would never end.
  const std::string parent = ExtractFilePath(folder);
  if (parent.size() >= folder.size()) return false;
  return ForceFolders(os, parent, protection) && os.CreateFolder(folder, protection);
}

void MakeFolder(TPlatform& os, const std::string& path, TFolderProtection protection) {
  const std::string folder = WithBackslash(path);
  if (!ForceFolders(os, folder, protection)) os.CreateFolder(WithoutBackslash(folder), protection);
}

void CreateShortcut(TPlatform& os, const std::string& target, const std::string& linkFile,
                    const std::string& description, const std::string& arguments, int iconIndex) {
  TShellLink link;
  link.Target = target;
  link.Description = description;
  link.Arguments = arguments;
  if (iconIndex >= 0) {
    link.IconPath = target;
    link.IconIndex = iconIndex;
  }
  os.CreateShellLink(link, linkFile);
}

std::string ProductPageAddress() { return std::string(kMakerWebSite) + "/fotelix"; }

std::string ManualAddress() { return std::string(kMakerWebSite) + "/fotelix/help"; }

int32_t InstallProgressMax() {
  const int32_t span = static_cast<int32_t>(ProgramPayload().ProgressSpan());
  return span + span / 30;
}

void RunInstall(TPlatform& os, TSetupState& state, IRunProgressBar& bar, ILabel& label) {
  const auto at = [&](int percent) {
    return [&, percent] { ShowProgress(os, bar, label, PositionAtPercent(bar.Max(), percent)); };
  };
  const auto at99 = [&](int) { at(99)(); };
  const std::string& dir = state.InstallDir;
  std::string group, desktop;
  constexpr TOnFailure kEnds = TOnFailure::EndsTheRun;
  constexpr TOnFailure kIgnored = TOnFailure::Ignored;
  constexpr TOnFailure kSkipsRest = TOnFailure::SkipsRestOfBlock;
  RunSteps({
      {"progress scale", kEnds, [&] { bar.SetMax(InstallProgressMax()); }},
      {"installation folder", kEnds, [&] { SettleInstallDir(os, state); }},
      {"data folder", kEnds, [&] { SettleDataDir(os, state); }},
      // Settings files that an older version kept beside the program; one
      // that stays is overwritten or ignored by the product.
      {"old fotelix.dat", kIgnored, [&] { RemoveIfThere(os, dir + "fotelix.dat"); }},
      {"old fotelix.bak", kIgnored, [&] { RemoveIfThere(os, dir + "fotelix.bak"); }},
      {"program file", kEnds, [&] { WriteProgramFile(os, dir + "Fotelix.Exe", &bar, &label); }},
      // The product runs without its uninstaller.
      {"uninstaller", kIgnored, [&] { WriteUninstaller(os, dir + "Uninstall.Exe", nullptr, nullptr); }},
      // The product runs without its Start-menu group. A failing link skips
      // the ones after it.
      {"Start-menu group", kSkipsRest,
       [&] { group = KnownShellFolder(os, kCsidlPrograms) + "\\Fotelix"; }},
      // Fails when the group exists from an earlier install; its links are
      // then replaced.
      {"Start-menu group", kIgnored, [&] { os.CreateFolder(group); }},
      {"Start-menu group", kSkipsRest,
       [&] { CreateShortcut(os, dir + "Fotelix.Exe", group + "\\Fotelix.Lnk", "Fotelix", "", 0); }},
      {"Start-menu group", kSkipsRest,
       [&] {
         CreateShortcut(os, ProductPageAddress(), group + "\\Fotelix Website.Lnk", "Fotelix On the web",
                        "", -1);
       }},
      {"Start-menu group", kSkipsRest,
       [&] { CreateShortcut(os, ManualAddress(), group + "\\Fotelix Manual.Lnk", "Fotelix Manual", "", -1); }},
      {"Start-menu group", kSkipsRest,
       [&] {
         CreateShortcut(os, dir + "Uninstall.Exe", group + "\\Uninstall Fotelix.Lnk", "Uninstall Fotelix",
                        "", 0);
       }},
      // Without administrator rights there is no entry; the product still works.
      {"uninstall entry", kIgnored, [&] { RegisterUninstaller(os, state); }},
      {"96 %", kEnds, at(96)},
      {"desktop link", kSkipsRest, [&] { desktop = KnownShellFolder(os, kCsidlDesktopDirectory); },
       state.CreateDesktopShortcut},
      {"desktop link", kIgnored,
       [&] { CreateShortcut(os, dir + "Fotelix.Exe", desktop + "\\Fotelix.Lnk", "Fotelix", "", 0); },
       state.CreateDesktopShortcut},
      {"98 %", kEnds, at(98)},
      {"settings file", kEnds, [&] { WriteSettingsFile(os, state.DataDir + "Fotelix.Dat", state, at99); }},
      // A spare: the product reads the one in DataDir.
      {"installation copy of the settings file", kIgnored,
       [&] { WriteSettingsFile(os, dir + "FXInst.Dat", state, at99); }},
      // The log records what the run meant to make; a missing or short log
      // leaves the uninstaller less to remove, never something else.
      {"uninstall log", kIgnored, [&] { WriteUninstallLog(os, state); }},
  });
}
