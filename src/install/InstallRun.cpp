#include "install/InstallRun.h"

#include <exception>
#include <stdexcept>

#include "install/DefaultSettings.h"
#include "install/PayloadWriter.h"
#include "install/RunSteps.h"
#include "install/Uninstall.h"
#include "lib/LIB_Endpoints.h"
#include "platform/Files.h"
#include "platform/Find.h"
#include "platform/Path.h"

namespace {

// A shell folder + "\Fotelix\", or nothing when the query named no folder.
// The result code is not looked at: a folder that does not exist yet comes
// with a code other than 0, and MakeFolder creates it. An empty answer would
// give "\Fotelix\", a folder on whatever drive is current, and that
// drive-relative path would end up in the links, the uninstall entry and
// the log.
std::string ShellFolderCandidate(TPlatform& os, int csidl) {
  const std::optional<std::string> folder = os.GetShellFolder(csidl).Named();
  return folder ? JoinPath(*folder, "Fotelix\\") : std::string();
}

// Why the folder takes no new files, or nothing when it exists and does.
// One that exists can still refuse them: Program Files to a user without
// administrator rights, a read-only share.
std::string WhyNotWritable(TPlatform& os, const std::string& folder) {
  if (!os.FolderExists(folder)) return "that folder does not exist";
  std::string probe;
  try {
    CreateNewFile(os, folder + "~FXProbe.tmp", probe);
  } catch (const EPlatformError& error) {
    // The probe's failure is the answer: the refusal of the chosen folder
    // quotes it, and a fallback that takes no files is passed over.
    return error.Reason();
  }
  os.TryRemoveFile(probe);
  return "";
}

// Makes the folder where it is missing; true when it is there afterwards.
// An elevated setup takes only a trusted folder, holding it in held; a
// folder that someone else made or can change is refused, not taken over.
// Without elevation the setup can write nowhere that its user could not, and
// only a link in the folder's place, which would carry the program files
// and later the uninstaller's removals into a folder that someone else
// chose, is refused.
bool Prepare(TPlatform& os, const std::string& dir, TFolderProtection protection,
             std::unique_ptr<TFolderHandle>& held) {
  if (os.IsElevated()) {
    TFolderCheck check = MakeCheckedFolder(os, dir, protection);
    if (!check.Failed.empty()) throw std::runtime_error(FolderRefusal("install", dir, check));
    held = std::move(check.Folder);
    return held != nullptr;
  }
  if (!os.FolderExists(dir)) MakeFolder(os, dir, protection);
  if (IsReparsePoint(os, dir)) {
    TFolderCheck link;
    link.Failed = WithBackslash(dir);
    link.FailedIsLink = true;
    throw std::runtime_error(FolderRefusal("install", dir, link));
  }
  return os.FolderExists(dir);
}

// The chosen folder or, where it cannot be made, the first fallback that can
// be made and written to; the first that is refused ends the run. A chosen
// folder that exists but takes no files ends the run too: it is the user's
// choice, not a reason to go elsewhere. Goes on with the last candidate when
// none can be written to; writing the program file then fails. Returns the
// folder's handle, held for the run when elevated.
std::unique_ptr<TFolderHandle> SettleInstallDir(TPlatform& os, TSetupState& state) {
  constexpr TFolderProtection kPrograms = TFolderProtection::ClosedToOthers;
  std::unique_ptr<TFolderHandle> held;
  state.InstallDir = WithBackslash(state.InstallDir);
  const bool chosenExists = os.FolderExists(state.InstallDir);
  if (Prepare(os, state.InstallDir, kPrograms, held) && WhyNotWritable(os, state.InstallDir).empty()) return held;
  if (chosenExists)
    throw std::runtime_error("Cannot install Fotelix in \"" + state.InstallDir +
                             "\": " + WhyNotWritable(os, state.InstallDir));
  for (int csidl : {kCsidlProgramFiles, kCsidlLocalAppData}) {
    const std::string candidate = ShellFolderCandidate(os, csidl);
    if (candidate.empty()) continue;
    state.InstallDir = candidate;
    // The user's own application data is closed to other users already, and
    // the product, started as the user, keeps its settings in that very
    // folder then.
    if (Prepare(os, state.InstallDir, csidl == kCsidlLocalAppData ? TFolderProtection::Inherited : kPrograms,
                held) &&
        WhyNotWritable(os, state.InstallDir).empty())
      return held;
  }
  state.InstallDir = "C:\\Fotelix\\";
  Prepare(os, state.InstallDir, kPrograms, held);
  return held;
}

// The per-user data folder, or InstallDir when it cannot be had.
void SettleDataDir(TPlatform& os, TSetupState& state) {
  const std::optional<std::string> folder = os.GetShellFolder(kCsidlLocalAppData).Known();
  state.DataDir = WithBackslash(folder ? JoinPath(*folder, "Fotelix") : state.InstallDir);
  MakeFolder(os, state.DataDir, TFolderProtection::Inherited);
  if (!WhyNotWritable(os, state.DataDir).empty()) state.DataDir = state.InstallDir;
  state.CacheDir = state.DataDir + "cache\\";
}

// A shell folder that the query names, or a failure: without one the links
// would go to the root of whatever drive is current.
std::string KnownShellFolder(TPlatform& os, int csidl) {
  const std::optional<std::string> folder = os.GetShellFolder(csidl).Known();
  if (!folder) throw std::runtime_error("The shell folder " + std::to_string(csidl) + " is unknown.");
  return *folder;
}

void RemoveIfThere(TPlatform& os, const std::string& path) {
  if (os.FileExists(path)) os.TryRemoveFile(path);
}

// The Start-menu group, without which the product runs too: its folder, then
// its links, each left out after one that fails.
TRunStep StartMenuGroup(TPlatform& os, const std::string& dir, std::string& group) {
  return Block(
      {
          Step([&] { group = KnownShellFolder(os, kCsidlPrograms) + "\\Fotelix"; }),
          // Fails when the group exists from an earlier install; its links
          // are then replaced.
          Step([&] { os.TryCreateFolder(group); }, TOnFailure::Ignored),
          Step([&] { CreateShortcut(os, dir + "Fotelix.Exe", group + "\\Fotelix.Lnk", "Fotelix", "", 0); }),
          Step([&] {
            CreateShortcut(os, ProductPageAddress(), group + "\\Fotelix Website.Lnk", "Fotelix On the web", "", -1);
          }),
          Step([&] {
            CreateShortcut(os, ManualAddress(), group + "\\Fotelix Manual.Lnk", "Fotelix Manual", "", -1);
          }),
          Step([&] {
            CreateShortcut(os, dir + "Uninstall.Exe", group + "\\Uninstall Fotelix.Lnk", "Uninstall Fotelix", "", 0);
          }),
      },
      TOnFailure::Ignored);
}

// The desktop link, without which the product runs too.
TRunStep DesktopLink(TPlatform& os, const std::string& dir, std::string& desktop) {
  return Block(
      {
          Step([&] { desktop = KnownShellFolder(os, kCsidlDesktopDirectory); }),
          Step([&] { CreateShortcut(os, dir + "Fotelix.Exe", desktop + "\\Fotelix.Lnk", "Fotelix", "", 0); }),
      },
      TOnFailure::Ignored);
}

}  // namespace

void MakeFolder(TPlatform& os, const std::string& path, TFolderProtection protection) {
  const std::string folder = WithBackslash(path);
  if (!ForceFolders(os, folder, protection)) os.TryCreateFolder(WithoutBackslash(folder), protection);
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

std::string FolderRefusal(const std::string& verb, const std::string& dir, const TFolderCheck& check) {
  const std::string level = check.Failed == WithBackslash(dir) ? "that folder" : "\"" + check.Failed + "\"";
  return "Cannot " + verb + " Fotelix in \"" + dir + "\": " +
         (check.FailedIsLink ? level + " is a link (a junction or a symbolic link) to another place."
                             : "users other than administrators can change " + level + ".");
}

void RunInstall(TPlatform& os, TSetupState& state, IRunProgress& progress) {
  const std::string& dir = state.InstallDir;
  std::string group, desktop;
  // Held to the end of the run. Every level of a trusted folder is closed to
  // other users, so the paths of the files written into it stay as safe as
  // this handle.
  std::unique_ptr<TFolderHandle> installFolder;
  TUnshownProgress unshown(progress);
  constexpr TOnFailure kIgnored = TOnFailure::Ignored;
  RunSteps(
      {
          Step([&] { progress.SetRange(InstallProgressMax()); }),
          Step([&] { installFolder = SettleInstallDir(os, state); }),
          Step([&] { SettleDataDir(os, state); }),
          // Settings files that an older version kept beside the program; one
          // that stays is overwritten or ignored by the product.
          Step([&] { RemoveIfThere(os, dir + "fotelix.dat"); }, kIgnored),
          Step([&] { RemoveIfThere(os, dir + "fotelix.bak"); }, kIgnored),
          Step([&] { WriteProgramFile(os, dir + "Fotelix.Exe", progress); }),
          // The product runs without its uninstaller.
          Step([&] { WriteUninstaller(os, dir + "Uninstall.Exe", unshown); }, kIgnored),
          StartMenuGroup(os, dir, group),
          // Without administrator rights there is no entry; the product still
          // works.
          Step([&] { RegisterUninstaller(os, state); }, kIgnored).ThenShows(96),
          DesktopLink(os, dir, desktop).When(state.CreateDesktopShortcut).ThenShows(98),
          Step([&] { WriteSettingsFile(os, state.DataDir + "Fotelix.Dat", state, progress); }),
          // A spare: the product reads the one in DataDir.
          Step([&] { WriteSettingsFile(os, dir + "FXInst.Dat", state, progress); }, kIgnored),
          // The log records what the run meant to make; a missing or short log
          // leaves the uninstaller less to remove, never something else.
          Step([&] { WriteUninstallLog(os, state); }, kIgnored),
      },
      progress);
}
