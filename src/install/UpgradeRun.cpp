#include "install/UpgradeRun.h"

#include <exception>

#include "install/DefaultSettings.h"
#include "install/PayloadWriter.h"

namespace {

constexpr uint32_t kOneSecond = 1000;

}  // namespace

std::string UpgradeRetryMessage(int attempt) {
  return "Fotelix is still running or in use by another program. Upgrade will retry in a few "
         "seconds. (Attempt " +
         std::to_string(attempt) + ")";
}

std::string ProductCommandLine(const std::string& installDir) {
  // Unquoted, "C:\Program Files\..." would first be tried as "C:\Program.exe".
  return "\"" + WithBackslash(installDir) + "Fotelix.Exe\"";
}

void RunUpgrade(TPlatform& os, TSetupState& state, IRunProgressBar& bar, ILabel& label,
                const TStatusCallback& status) {
  // Kept with its backslash, so that the finished page starts the product
  // from the very folder written to.
  state.InstallDir = WithBackslash(state.InstallDir);
  const std::string dir = state.InstallDir;

  bar.SetMax(static_cast<int32_t>(ProgramPayload().ProgressSpan()));
  if (!os.FolderExists(dir)) {
    ForceFolders(os, dir);
    // Every attempt would fail for minutes before the same end; the name
    // tells the user what to fix.
    if (!os.FolderExists(dir))
      throw EPlatformError(kErrorPathNotFound, "Cannot create the folder \"" + dir + "\".");
  }

  if (state.AutoUpdate) {
    // The product that started this update needs a moment to end.
    for (int second = 0; second < 3; ++second) {
      if (second > 0) os.ProcessMessages();
      os.Sleep(kOneSecond);
    }
  }

  for (int attempt = 1; attempt <= kUpgradeAttempts; ++attempt) {
    try {
      WriteProgramFile(os, dir + "Fotelix.Exe", &bar, &label);
      break;
    } catch (const std::exception&) {
      // The product, or something else, still holds the file.
      status(UpgradeRetryMessage(attempt));
      for (int second = 0; second < kUpgradeRetrySeconds; ++second) {
        os.Sleep(kOneSecond);
        os.ProcessMessages();
      }
      status("");
    }
  }

  WriteUninstaller(os, dir + "Uninstall.Exe", nullptr, nullptr);
  WriteUpgradeSettingsFile(os, dir + "Fotelix.BAK", state, [&](int) {
    ShowProgress(os, bar, label, PositionAtPercent(bar.Max(), 99));
  });
  ShowProgress(os, bar, label, bar.Max());

  if (state.AutoUpdate) os.StartProgram(ProductCommandLine(dir), kSwShowMaximized);
}
