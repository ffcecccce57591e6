#include "install/UpgradeRun.h"

#include <algorithm>
#include <exception>
#include <initializer_list>
#include <stdexcept>

#include "install/DefaultSettings.h"
#include "install/InstallRun.h"
#include "install/PayloadWriter.h"
#include "install/RunSteps.h"
#include "lib/LIB_Data1_ReadWrite.h"
#include "lib/LIB_FolderName.h"
#include "platform/Files.h"
#include "platform/Find.h"
#include "platform/Path.h"

namespace {

constexpr uint32_t kOneSecond = 1000;

bool HasCode(const std::exception& error, std::initializer_list<uint32_t> codes) {
  const auto* platform = dynamic_cast<const EPlatformError*>(&error);
  return platform && std::find(codes.begin(), codes.end(), platform->Code()) != codes.end();
}

bool IsDiskFull(const std::exception& error) { return HasCode(error, {kErrorDiskFull, kErrorHandleDiskFull}); }

// ERROR_LOCK_VIOLATION: another program holds a part of the file.
bool IsInUse(const std::exception& error) { return HasCode(error, {kErrorSharingViolation, 33}); }

void CheckUpgradeFolder(const std::string& dir) {
  if (!IsValidFolderName(dir) || dir.size() < 4 || !IsShortEnoughFolder(dir))
    throw std::invalid_argument("Cannot update Fotelix in \"" + dir +
                                "\": that is not a full folder name of at most " +
                                std::to_string(kMaxFolderLength) + " characters.");
}

void MakeUpgradeFolder(TPlatform& os, const std::string& dir) {
  if (os.FolderExists(dir)) return;
  ForceFolders(os, dir, TFolderProtection::ClosedToOthers);
  // Every attempt would fail for minutes before the same end; the name
  // tells the user what to fix.
  if (!os.FolderExists(dir))
    throw EPlatformError(kErrorPathNotFound, "Cannot create the folder \"" + dir + "\".");
}

// The folder of an automatic update comes from another program's command
// line. A relative or damaged name would write into whatever folder is
// current, and one with trailing dots or blanks would be cut by the system
// to another folder's name. It is used in the long form, the one that the
// system keeps and the uninstaller compares. A link at it or above it would
// carry the program that this setup starts into a place someone else chose;
// an elevated update also takes only a trusted folder (CheckFolder), which
// when elevated by the product's own update must already hold the product.
// Returns the folder's handle, held for the run when elevated.
std::unique_ptr<TFolderHandle> SettleUpgradeFolder(TPlatform& os, TSetupState& state, IRunProgress& progress) {
  std::string& dir = state.InstallDir;
  CheckUpgradeFolder(dir);
  dir = WithBackslash(os.LongPathName(dir));
  CheckUpgradeFolder(dir);
  if (!os.IsElevated()) {
    TFolderCheck link;
    link.Failed = FirstReparsePoint(os, dir);
    link.FailedIsLink = true;
    if (!link.Failed.empty()) throw std::invalid_argument(FolderRefusal("update", dir, link));
    MakeUpgradeFolder(os, dir);
    return nullptr;
  }
  TFolderCheck check = CheckFolder(os, dir);
  const bool existed = check.Folder != nullptr;
  const bool mayProtect = existed && check.MayProtect;
  if (!check.Failed.empty() && !mayProtect) throw std::invalid_argument(FolderRefusal("update", dir, check));
  // Before anything changes there: another program's folder keeps its own
  // protection.
  if (existed && state.AutoUpdate && !IsProductCopy(os, ProductProgram(dir)))
    throw std::invalid_argument("Cannot update Fotelix in \"" + dir +
                                "\": that folder holds no installed copy of Fotelix.");
  if (!existed) {
    check = MakeCheckedFolder(os, dir, TFolderProtection::ClosedToOthers);
  } else if (mayProtect) {
    // Made by an older setup without this protection.
    if (check.Folder->TryProtect()) check = CheckFolder(os, dir);
    if (check.Trusted())
      progress.SetStatus("\"" + dir +
                         "\" could be changed by users other than administrators; it now has the protection of "
                         "Program Files.");
  }
  if (!check.Failed.empty()) throw std::invalid_argument(FolderRefusal("update", dir, check));
  if (!check.Folder) throw EPlatformError(kErrorPathNotFound, "Cannot create the folder \"" + dir + "\".");
  return std::move(check.Folder);
}

void WaitForTheProduct(TPlatform& os, IRunProgress& progress) {
  for (int second = 0; second < 3; ++second) {
    if (second > 0) progress.LetMessagesRun();
    os.Sleep(kOneSecond);
  }
}

// The program file is tried again while something holds it: the product, or
// another program. A full disk does not empty itself while the user waits,
// and the notice would blame a running program: it ends the step at once, as
// the error page names it. Going on after the last attempt would end on a
// finished page over the old program file; its failure tells why.
TRetry WhileInUse(TPlatform& os, const std::string& dir, IRunProgress& progress) {
  TRetry retry;
  retry.Judge = [&dir](const std::exception& error, int attempt) {
    if (IsDiskFull(error)) throw;
    if (attempt < kUpgradeAttempts) return;
    if (IsInUse(error))
      throw std::runtime_error("Fotelix could not be upgraded: \"" + dir + "Fotelix.Exe\" is still in use after " +
                               std::to_string(kUpgradeAttempts) +
                               " attempts. Close Fotelix and start the upgrade again.");
    throw std::runtime_error("Fotelix could not be upgraded after " + std::to_string(kUpgradeAttempts) +
                             " attempts: " + error.what());
  };
  retry.Wait = [&os, &progress](int attempt) {
    progress.SetStatus(UpgradeRetryMessage(attempt));
    for (int second = 0; second < kUpgradeRetrySeconds; ++second) {
      os.Sleep(kOneSecond);
      progress.LetMessagesRun();
    }
    progress.SetStatus("");
  };
  return retry;
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

bool IsProductCopy(TPlatform& os, const std::string& program) {
  try {
    TFileSource file(os.OpenFile(program, TOpenMode::Read));
    TDataInput input(file);
    uint8_t first = 0;
    TLibData1_ReadWrite().ReadByte(input, first);
    return first < 231;
  } catch (const std::exception&) {
    // Any failure while opening or reading rejects the file.
    return false;
  }
}

bool MayUpgrade(TPlatform& os, const std::string& dir) {
  if (!os.IsElevated()) return true;
  const TFolderCheck check = CheckFolder(os, dir);
  return check.Trusted() || (check.Folder && check.MayProtect);
}

void RunUpgrade(TPlatform& os, TSetupState& state, IRunProgress& progress) {
  // Kept with its backslash and in its long form, so that the finished page
  // starts the product from the very folder written to.
  state.InstallDir = WithBackslash(state.InstallDir);
  const std::string& dir = state.InstallDir;
  // Held to the end of the run; see RunInstall.
  std::unique_ptr<TFolderHandle> folder;
  TUnshownProgress unshown(progress);
  // Every failure ends the upgrade: its files belong together, and the
  // finished page must not show over an old program.
  RunSteps(
      {
          Step([&] { folder = SettleUpgradeFolder(os, state, progress); }),
          Step([&] { progress.SetRange(static_cast<int32_t>(ProgramPayload().ProgressSpan())); }),
          // The product that started this update needs a moment to end.
          Step([&] { WaitForTheProduct(os, progress); }).When(state.AutoUpdate),
          Step([&] { WriteProgramFile(os, dir + "Fotelix.Exe", progress); }).RetriedAs(WhileInUse(os, dir, progress)),
          Step([&] { WriteUninstaller(os, dir + "Uninstall.Exe", unshown); }),
          Step([&] { WriteUpgradeSettingsFile(os, dir + "Fotelix.BAK", state, progress); }).ThenShows(100),
          Step([&] { os.StartProgramAsUser(ProductProgram(dir), kSwShowMaximized); }).When(state.AutoUpdate),
      },
      progress);
}
