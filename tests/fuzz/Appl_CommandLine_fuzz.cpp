// The setup program's command line, whatever it holds: the arguments carry
// no quotes, only the switch sets anything, and the folder that an update
// is given reads back the same when the product passes it quoted.

#include "FuzzCheck.h"
#include "app/Appl_CommandLine.h"

#include <cstdint>
#include <string>
#include <vector>

namespace {

TSetupState Read(const std::string& commandLine) {
  TSetupState state;
  ReadCommandLine(CommandLineArguments(commandLine), state);
  return state;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string line(reinterpret_cast<const char*>(data), size);
  const bool hasQuote = line.find('"') != std::string::npos;
  for (const std::string& argument : CommandLineArguments(line)) {
    FUZZ_CHECK(argument.find('"') == std::string::npos);
    // Without quotes, blanks only separate.
    FUZZ_CHECK(hasQuote || (!argument.empty() && argument.find_first_of(" \t") == std::string::npos));
  }

  const TSetupState state = Read(line);
  const TSetupState fresh;
  FUZZ_CHECK(state.AutoUpdate == !state.InstallDir.empty());
  FUZZ_CHECK(state.ConnectionKind == fresh.ConnectionKind && state.DownloadDir.empty() &&
             state.InstallerEdition == fresh.InstallerEdition && !state.UpgradeChosen);
  if (state.AutoUpdate) {
    FUZZ_CHECK(state.InstallDir.back() == '\\' && static_cast<unsigned char>(state.InstallDir[0]) > ' ');
    const TSetupState again = Read("Fotelix.exe /autoupdate \"" + state.InstallDir + "\"");
    FUZZ_CHECK(again.AutoUpdate && again.InstallDir == state.InstallDir);
  }
  return 0;
}
