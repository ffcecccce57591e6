// The payload writer with a pump that does nothing, against the least that
// restoring the same stream can cost: one inflate straight into a file.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <vector>

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
  os.SetMessagePump([] {});
  for (auto _ : state) WriteProgramFile(os, "C:\\Fotelix.Exe", nullptr, nullptr);
  state.SetBytesProcessed(state.iterations() * ProgramPayload().ExpandedLength);
}
BENCHMARK(BM_WriteProgramFile)->Unit(benchmark::kMicrosecond);

void BM_BareInflateToFile(benchmark::State& state) {
  TScratch scratch;
  const TPayload& p = ProgramPayload();
  const std::string path = (scratch.root / "c" / "Fotelix.Exe").string();
  std::vector<unsigned char> out(64 * 1024);
  for (auto _ : state) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
    z_stream z{};
    z.next_in = const_cast<unsigned char*>(p.Data);
    z.avail_in = p.CompressedLength;
    inflateInit(&z);
    int result = Z_OK;
    while (result == Z_OK) {
      z.next_out = out.data();
      z.avail_out = static_cast<uInt>(out.size());
      result = inflate(&z, Z_NO_FLUSH);
      std::fwrite(out.data(), 1, out.size() - z.avail_out, file.get());
    }
    inflateEnd(&z);
    if (result != Z_STREAM_END) throw std::runtime_error("the stored stream does not inflate");
  }
  state.SetBytesProcessed(state.iterations() * p.ExpandedLength);
}
BENCHMARK(BM_BareInflateToFile)->Unit(benchmark::kMicrosecond);

}  // namespace
