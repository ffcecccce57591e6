// The payload writer with a progress that does nothing, against the least that
// restoring the same stream can cost: one inflate straight into a file.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <vector>

#include "BareInflate.h"
#include "install/PayloadWriter.h"
#include "platform/hostsim/HostSim.h"

namespace {

namespace fs = std::filesystem;

struct TScratch {
  TScratch() : root(fs::temp_directory_path() / "fx-bench-payload") {
    fs::remove_all(root);
    fs::create_directories(root / "state");
    fs::create_directories(root / "c");
  }
  ~TScratch() {
    std::error_code ec;
    fs::remove_all(root, ec);
  }
  fs::path root;
};

void BM_WriteProgramFile(benchmark::State& state) {
  TScratch scratch;
  THostSimPlatform os(scratch.root / "state");
  os.MapDrive('C', scratch.root / "c", TDriveType::Fixed);
  TNoProgress none;
  for (auto _ : state) WriteProgramFile(os, "C:\\Fotelix.Exe", none);
  state.SetBytesProcessed(state.iterations() * ProgramPayload().ExpandedLength);
}
BENCHMARK(BM_WriteProgramFile)->Unit(benchmark::kMicrosecond);

void BM_BareInflateToFile(benchmark::State& state) {
  TScratch scratch;
  const TPayload& p = ProgramPayload();
  const std::string path = (scratch.root / "c" / "Fotelix.Exe").string();
  for (auto _ : state) BareInflateToFile(p, path.c_str());
  state.SetBytesProcessed(state.iterations() * p.ExpandedLength);
}
BENCHMARK(BM_BareInflateToFile)->Unit(benchmark::kMicrosecond);

}  // namespace
