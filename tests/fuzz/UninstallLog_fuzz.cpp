// The uninstaller's plan for any log: each line that it reads writes back as
// it stood; whatever its lines say, a step removes only what an install of
// the product makes, each line is planned once or refused, and the closing
// message quotes every refusal.

#include "FuzzCheck.h"
#include "install/Uninstall.h"
#include "install/UninstallLog.h"
#include "install/UninstallPlan.h"
#include "install/UninstallRemover.h"
#include "lib/LIB_Text.h"
#include "platform/Path.h"
#include "platform/hostsim/HostSim.h"

#include <cstdint>
#include <string>

namespace {

const std::string kInstallDir = "C:\\Program Files\\Fotelix\\";
const std::string kDataDir = "C:\\Users\\Ann\\AppData\\Local\\Fotelix\\";
const std::string kDesktop = "C:\\Users\\Ann\\Desktop";
const std::string kPrograms = "C:\\Users\\Ann\\Start Menu\\Programs";

// Planning asks only for drive types and shell folders: no file is touched.
struct TFuzzWindows : THostSimPlatform {
  TFuzzWindows() : THostSimPlatform("fuzz-state") {
    MapDrive('C', "c", TDriveType::Fixed);
    MapDrive('E', "e", TDriveType::Removable);
    MapDrive('F', "f", TDriveType::CDRom);
    MapDrive('N', "n", TDriveType::Remote);
    SetShellFolder(kCsidlLocalAppData, "C:\\Users\\Ann\\AppData\\Local", 0);
    SetShellFolder(kCsidlDesktopDirectory, kDesktop, 0);
    SetShellFolder(kCsidlPrograms, kPrograms, 0);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static TFuzzWindows os;
  const std::string text(reinterpret_cast<const char*>(data), size);
  const TUninstallLog log = ParseUninstallLog(text);
  for (const TUninstallLine& line : log.Lines) {
    const std::string written = UninstallLineText(line);
    FUZZ_CHECK(text.find(written) != std::string::npos);
    const TUninstallLog again = ParseUninstallLog("Fotelix\n" + written);
    FUZZ_CHECK(again.Lines.size() == 1 && again.Lines[0].Tag == line.Tag && again.Lines[0].Operand == line.Operand);
  }

  const TUninstallPlan plan = PlanUninstall(os, log, kInstallDir);
  FUZZ_CHECK(plan.Refused.size() >= log.Malformed.size());
  FUZZ_CHECK(plan.Steps.size() + plan.Refused.size() <= log.Lines.size() + log.Malformed.size());
  for (size_t i = 0; i < plan.Steps.size(); ++i) {
    const TRemovalStep& step = plan.Steps[i];
    for (size_t j = 0; j < i; ++j)
      FUZZ_CHECK(plan.Steps[j].Kind != step.Kind || !SameText(plan.Steps[j].Target, step.Target));
    const std::string folder = ExtractFilePath(step.Target);
    switch (step.Kind) {
      case TRemovalKind::File:
        FUZZ_CHECK(SameText(folder, kInstallDir) || SameText(folder, kDataDir));
        FUZZ_CHECK(step.Target.size() > folder.size());
        break;
      case TRemovalKind::DesktopLink: FUZZ_CHECK(SameText(step.Target, kDesktop + "\\Fotelix.Lnk")); break;
      case TRemovalKind::LinkGroup: FUZZ_CHECK(SameText(step.Target, kPrograms + "\\Fotelix\\")); break;
      case TRemovalKind::RegistryKey: FUZZ_CHECK(SameText(step.Target, kUninstallKey)); break;
      case TRemovalKind::Tree: FUZZ_CHECK(SameText(step.Target, kDataDir)); break;
      case TRemovalKind::SetupFolder: FUZZ_CHECK(SameText(step.Target, kInstallDir)); break;
    }
  }

  const std::string report = UninstallReport(plan, {});
  FUZZ_CHECK(report.empty() == plan.Refused.empty());
  // The report names the first refusals and counts the rest.
  const size_t shown = plan.Refused.size() < 20 ? plan.Refused.size() : 20;
  for (size_t i = 0; i < shown; ++i) FUZZ_CHECK(report.find(plan.Refused[i]) != std::string::npos);
  if (shown < plan.Refused.size())
    FUZZ_CHECK(report.find("... and " + std::to_string(plan.Refused.size() - shown) + " more") !=
               std::string::npos);
  return 0;
}
