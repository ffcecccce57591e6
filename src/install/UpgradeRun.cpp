#include "install/UpgradeRun.h"

#include <exception>
#include <stdexcept>

#include "install/DefaultSettings.h"
#include "install/PayloadWriter.h"
#include "install/RunSteps.h"
#include "lib/LIB_FolderName.h"

namespace {

constexpr uint32_t kOneSecond = 1000;

bool IsDiskFull(const std::exception& error) {
  const auto* platform = dynamic_cast<const EPlatformError*>(&error);
  return platform && (platform->Code() == kErrorDiskFull || platform->Code() == kErrorHandleDiskFull);
}

void CheckUpgradeFolder(const std::string& dir) {
  if (!IsValidFolderName(dir) || dir.size() < 4 || !IsShortEnoughFolder(dir))
    throw std::invalid_argument("Cannot update Fotelix in \"" + dir +
                                "\": that is not a full folder name of at most " +
                                std::to_string(kMaxFolderLength) + " characters.");
}

// The folder of an automatic update comes from another program's command
// line. A relative or damaged name would write into whatever folder is
// current, and one with trailing dots or blanks would be cut by the system
// to another folder's name. It is used in the long form, the one that the
// system keeps and the uninstaller compares; a link at it or above it would
// carry the program that this setup starts into a place someone else chose.
void SettleUpgradeFolder(TPlatform& os, std::string& dir) {
  CheckUpgradeFolder(dir);
  dir = WithBackslash(os.LongPathName(dir));
  CheckUpgradeFolder(dir);
  const std::string link = FirstReparsePoint(os, dir);
  if (!link.empty())
    throw std::invalid_argument("Cannot update Fotelix in \"" + dir + "\": " +
                                (link == dir ? std::string("that folder") : "\"" + link + "\"") +
                                " is a link (a junction or a symbolic link) to another place.");
}

void MakeUpgradeFolder(TPlatform& os, const std::string& dir) {
  if (os.FolderExists(dir)) return;
  ForceFolders(os, dir, TFolderProtection::LikeProgramFiles);
  // Every attempt would fail for minutes before the same end; the name
  // tells the user what to fix.
  if (!os.FolderExists(dir))
    throw EPlatformError(kErrorPathNotFound, "Cannot create the folder \"" + dir + "\".");
}

void WaitForTheProduct(TPlatform& os) {
  for (int second = 0; second < 3; ++second) {
    if (second > 0) os.ProcessMessages();
    os.Sleep(kOneSecond);
  }
}

// Writes the program file, trying again while something holds it.
void ReplaceProgramFile(TPlatform& os, const std::string& dir, IRunProgressBar& bar, ILabel& label,
                        const TStatusCallback& status) {
  for (int attempt = 1;; ++attempt) {
    try {
      WriteProgramFile(os, dir + "Fotelix.Exe", &bar, &label);
      return;
    } catch (const std::exception& error) {
      // A full disk does not empty itself while the user waits, and the
      // notice would blame a running program: the error page names it now.
      if (IsDiskFull(error)) throw;
      // Going on would end on a finished page over the old program file.
      if (attempt == kUpgradeAttempts)
        throw std::runtime_error("Fotelix could not be upgraded: \"" + dir +
                                 "Fotelix.Exe\" is still in use after " +
                                 std::to_string(kUpgradeAttempts) +
                                 " attempts. Close Fotelix and start the upgrade again.");
    }
    // The product, or something else, still holds the file.
    status(UpgradeRetryMessage(attempt));
    for (int second = 0; second < kUpgradeRetrySeconds; ++second) {
      os.Sleep(kOneSecond);
      os.ProcessMessages();
    }
    status("");
  }
}

}  // namespace

std::string UpgradeRetryMessage(int attempt) {
  return "Fotelix is still running or in use by another program. Upgrade will retry in a few "
         "seconds. (Attempt " +
         std::to_string(attempt) + ")";
}

std::string ProductProgram(const std::string& installDir) {
  return WithBackslash(installDir) + "Fotelix.Exe";
}

void RunUpgrade(TPlatform& os, TSetupState& state, IRunProgressBar& bar, ILabel& label,
                const TStatusCallback& status) {
  // Kept with its backslash and in its long form, so that the finished page
  // starts the product from the very folder written to.
  state.InstallDir = WithBackslash(state.InstallDir);
  const std::string& dir = state.InstallDir;
  // Every failure ends the upgrade: its files belong together, and the
  // finished page must not show over an old program.
  constexpr TOnFailure kEnds = TOnFailure::EndsTheRun;
  RunSteps({
      {"installation folder", kEnds, [&] { SettleUpgradeFolder(os, state.InstallDir); }},
      {"progress scale", kEnds, [&] { bar.SetMax(static_cast<int32_t>(ProgramPayload().ProgressSpan())); }},
      {"installation folder", kEnds, [&] { MakeUpgradeFolder(os, dir); }},
      // The product that started this update needs a moment to end.
      {"wait for the product", kEnds, [&] { WaitForTheProduct(os); }, state.AutoUpdate},
      {"program file", kEnds, [&] { ReplaceProgramFile(os, dir, bar, label, status); }},
      {"uninstaller", kEnds, [&] { WriteUninstaller(os, dir + "Uninstall.Exe", nullptr, nullptr); }},
      {"settings file", kEnds,
       [&] {
         WriteUpgradeSettingsFile(os, dir + "Fotelix.BAK", state, [&](int) {
           ShowProgress(os, bar, label, PositionAtPercent(bar.Max(), 99));
         });
       }},
      {"100 %", kEnds, [&] { ShowProgress(os, bar, label, bar.Max()); }},
      {"start the product", kEnds, [&] { os.StartProgramAsUser(ProductProgram(dir), kSwShowMaximized); },
       state.AutoUpdate},
  });
}
