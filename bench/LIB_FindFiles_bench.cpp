// The disk search over 100,000 files in 10,000 folders on the simulated
// drive, against find(1) with -iname over the same host folders.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include <sys/resource.h>

#include "lib/LIB_FindFiles.h"
#include "platform/hostsim/HostSim.h"

namespace {

namespace fs = std::filesystem;

// 100 folders of 99 subfolders each (10,000 folders), ten files in every
// folder (100,000 files), one in a thousand named like the program. Made
// once and kept for the next run.
const fs::path& Tree() {
  static const fs::path root = [] {
    const fs::path tree = fs::temp_directory_path() / "fx-bench-tree";
    if (fs::exists(tree / "complete")) return tree;
    fs::remove_all(tree);
    int files = 0;
    const auto fill = [&](const fs::path& folder) {
      fs::create_directories(folder);
      for (int f = 0; f < 10; ++f, ++files)
        std::ofstream(folder / (files % 1000 == 0 ? "FOTELIX.EXE" + std::to_string(f) + ".exe"
                                                  : "file" + std::to_string(f) + ".dat"));
    };
    for (int top = 0; top < 100; ++top) {
      const fs::path folder = tree / "c" / ("Folder" + std::to_string(top));
      fill(folder);
      for (int sub = 0; sub < 99; ++sub) fill(folder / ("Sub" + std::to_string(sub)));
    }
    std::ofstream(tree / "complete");
    fs::create_directories(tree / "state");
    return tree;
  }();
  return root;
}

void BM_FindFilesTree(benchmark::State& state) {
  THostSimPlatform os(Tree() / "state");
  os.MapDrive('C', Tree() / "c", TDriveType::Fixed);
  size_t found = 0;
  for (auto _ : state) found = FindFiles(os, "fotelix*.exe", 1, "", 0, nullptr, nullptr).size();
  if (found != 100) throw std::runtime_error("the search found " + std::to_string(found));
  state.counters["found"] = static_cast<double>(found);
}
BENCHMARK(BM_FindFilesTree)->Unit(benchmark::kMillisecond);

// The processor time of the finished child processes, in seconds: find's
// own work, which the benchmark's CPU column does not see.
double ChildSeconds() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void BM_FindInameTree(benchmark::State& state) {
  const std::string command = "find '" + (Tree() / "c").string() + "' -iname 'fotelix*.exe' >/dev/null";
  const double before = ChildSeconds();
  for (auto _ : state)
    if (std::system(command.c_str()) != 0) throw std::runtime_error("find failed");
  state.counters["child_cpu_ms"] =
      (ChildSeconds() - before) * 1000 / static_cast<double>(state.iterations());
}
BENCHMARK(BM_FindInameTree)->Unit(benchmark::kMillisecond);

}  // namespace
