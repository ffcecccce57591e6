// The uninstaller's planner on a log at its 64 KB limit, on the simulated
// drive: a file of the installation folder on each line, each named once,
// and the folder's own line after every hundred of them, the way a damaged
// or planted log repeats itself. Each line must cost the same, however many
// came before it.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "install/UninstallLog.h"
#include "install/UninstallPlan.h"
#include "platform/hostsim/HostSim.h"

namespace {

namespace fs = std::filesystem;

// The last folder that an install falls back to, the shortest of them.
const std::string kInstallDir = "C:\\Fotelix\\";

std::string LogAtTheLimit() {
  std::string text = "Fotelix\r\n";
  for (int n = 0;; ++n) {
    std::string line = "<F" + kInstallDir + "f" + std::to_string(n) + ">\r\n";
    if (n % 100 == 0) line += "<E" + kInstallDir + ">\r\n";
    if (text.size() + line.size() > 64 * 1024) return text;
    text += line;
  }
}

void BM_PlanUninstallAtTheLimit(benchmark::State& state) {
  const fs::path root = fs::temp_directory_path() / "fx-bench-uninstall";
  fs::create_directories(root / "c" / "Fotelix");
  fs::create_directories(root / "state");
  THostSimPlatform os(root / "state");
  os.MapDrive('C', root / "c", TDriveType::Fixed);
  const TUninstallLog log = ParseUninstallLog(LogAtTheLimit());
  size_t steps = 0;
  for (auto _ : state) steps = PlanUninstall(os, log, kInstallDir).Steps.size();
  // Each file once, and the folder once.
  const auto files = std::count_if(log.Lines.begin(), log.Lines.end(),
                                   [](const TUninstallLine& line) { return line.Tag == TUninstallTag::File; });
  if (steps != static_cast<size_t>(files) + 1)
    throw std::runtime_error("the plan has " + std::to_string(steps) + " steps");
  state.counters["lines"] = static_cast<double>(log.Lines.size());
  state.counters["steps"] = static_cast<double>(steps);
}
BENCHMARK(BM_PlanUninstallAtTheLimit)->Unit(benchmark::kMillisecond);

}  // namespace
