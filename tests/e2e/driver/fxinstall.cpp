// Makes an installation with the install engine itself, as the install run
// page does, but without walking the wizard: the end-to-end tests' way to
// have something to uninstall while the install route is not at hand.
//
//   fxinstall INSTALLDIR DOWNLOADDIR CONNECTIONKIND DESKTOPLINK(0|1)
//
// Prints the folders that the run settled on, "InstallDir=..." and
// "DataDir=...", and exits with 0; a failed run prints its error and exits
// with 1, wrong usage with 2.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "install/InstallRun.h"
#include "platform/win32/Win32Platform.h"

namespace {

class TNoBar : public IRunProgressBar {
 public:
  void SetMax(int32_t max) override { max_ = max; }
  void SetPosition(int32_t position) override { position_ = position; }
  int32_t Position() const override { return position_; }
  int32_t Max() const override { return max_; }

 private:
  int32_t max_ = 100;
  int32_t position_ = 0;
};

class TNoLabel : public ILabel {
 public:
  void SetCaption(const std::string&) override {}
};

}  // namespace

int main(int argc, char** argv) {
  const std::string desktop = argc == 5 ? argv[4] : "";
  if (desktop != "0" && desktop != "1") {
    std::fprintf(stderr, "usage: fxinstall INSTALLDIR DOWNLOADDIR CONNECTIONKIND DESKTOPLINK(0|1)\n");
    return 2;
  }
  TSetupState state;
  state.InstallDir = argv[1];
  state.DownloadDir = argv[2];
  state.ConnectionKind = std::atoi(argv[3]);
  state.CreateDesktopShortcut = desktop == "1";
  state.InstallerEdition = "04";
  TWin32Platform os;
  TNoBar bar;
  TNoLabel label;
  try {
    RunInstall(os, state, bar, label);
  } catch (const std::exception& e) {
    std::printf("%s\n", e.what());
    return 1;
  }
  std::printf("InstallDir=%s\nDataDir=%s\n", state.InstallDir.c_str(), state.DataDir.c_str());
  std::fflush(stdout);
  return 0;
}
