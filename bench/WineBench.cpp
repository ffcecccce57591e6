// The timings that only the real Windows layer can give, taken inside the
// setup program's own window (shown, faded in, on the page under test):
//
//   fxbench payload RUNS   the payload writer with the program's message pump
//                          against a bare inflate of the same stream to a file
//   fxbench search RUNS    the search page's search of the fixed disks with the
//                          page's own progress against the same search without
//
// Prints one line per figure: its name, the median and the fastest run in
// milliseconds of elapsed time, and what it found or wrote.
#include "app/Appl_Globals.h"
#include "app/Form_Main.h"
#include "BareInflate.h"
#include "install/PayloadWriter.h"
#include "lib/LIB_FindFiles.h"
#include "pages/PNL_UpgradeFindDir.h"
#include "pages/PNL_Welcome.h"
#include "ui/Application.h"
#include "ui/win32/Win32Backend.h"
#include "platform/win32/Win32Platform.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

double Now() {
  LARGE_INTEGER count, frequency;
  ::QueryPerformanceCounter(&count);
  ::QueryPerformanceFrequency(&frequency);
  return static_cast<double>(count.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

void Report(const char* name, int runs, const std::function<std::string()>& run) {
  std::vector<double> times;
  std::string what;
  for (int i = 0; i < runs; ++i) {
    const double start = Now();
    what = run();
    times.push_back(Now() - start);
  }
  std::sort(times.begin(), times.end());
  std::printf("%s %.3f %.3f %s\n", name, times[times.size() / 2], times.front(), what.c_str());
  std::fflush(stdout);
}

std::string BareInflate(const TPayload& p, const char* path) {
  BareInflateToFile(p, path);
  return std::to_string(p.ExpandedLength) + " bytes";
}

// The window as the user has it: faded in, with the page's sheet in front.
template <typename TPage>
TPage& ShowStill(TFormMain& form, const std::string& name) {
  while (form.AlphaBlendValue() != 255) {
    Application().ProcessMessages();
    ::Sleep(10);
  }
  // As every page switch ends the fade-in, and as "&Next" on the welcome
  // page stops its drifting words.
  form.SetAlphaBlend(false);
  for (TTabSheet* sheet : form.PageControl->Pages())
    if (auto* welcome = dynamic_cast<TPnlWelcome*>(sheet->Controls().front())) welcome->Timer1->SetEnabled(false);
  for (TTabSheet* sheet : form.PageControl->Pages())
    if (sheet->Name == name) {
      form.PageControl->SetActivePage(sheet);
      auto* page = dynamic_cast<TPage*>(sheet->Controls().front());
      form.PnlHeader->SetCaption(page->HeaderText);
      Application().ProcessMessages();
      return *page;
    }
  throw std::runtime_error("no page " + name);
}

// Shows nothing and lets the window's messages run at every step, as the
// runs' writes of the uninstaller do.
class TPumpOnly : public TNoProgress {
 public:
  void LetMessagesRun() override { Application().ProcessMessages(); }
};

int Run(const std::string& mode, int runs, TWin32Platform& os, TFormMain& form) {
  if (mode == "payload") {
    TPumpOnly pumpOnly;
    ShowStill<TFramePanel>(form, "PNLInstallInstalling");
    ::CreateDirectoryA("C:\\fxbench", nullptr);
    Report("payload_writer", runs, [&] {
      WriteProgramFile(os, "C:\\fxbench\\Fotelix.Exe", pumpOnly);
      return std::to_string(ProgramPayload().ExpandedLength) + " bytes";
    });
    Report("bare_inflate", runs, [&] { return BareInflate(ProgramPayload(), "C:\\fxbench\\bare.exe"); });
    return 0;
  }
  if (mode == "search") {
    TPnlUpgradeFindDir& page = ShowStill<TPnlUpgradeFindDir>(form, "PnlUpgradeFindDir");
    const TFindFilter filter = [&](const std::string& path) { return page.Filter(path); };
    const auto search = [&](const TFindProgress& progress) {
      return std::to_string(FindFiles(os, "Fotelix.exe", 1, "", 0, filter, progress).size()) + " found";
    };
    Report("search_with_progress", runs, [&] {
      return search([&](uint8_t percent) { return page.Progress(percent); });
    });
    Report("search_without_progress", runs, [&] { return search(nullptr); });
    return 0;
  }
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc == 3 ? argv[1] : "";
  const int runs = argc == 3 ? std::atoi(argv[2]) : 0;
  if ((mode != "payload" && mode != "search") || runs < 1) {
    std::fprintf(stderr, "usage: fxbench payload|search RUNS\n");
    return 2;
  }
  TWin32Platform os;
  try {
    Application().SetBackend(std::make_unique<TWin32Backend>());
    TFormMain form(nullptr, os, {});
    Application().MainForm = &form;
    form.Show();
    const int code = Run(mode, runs, os, form);
    Application().MainForm = nullptr;
    return code;
  } catch (const std::exception& error) {
    std::printf("error: %s\n", error.what());
    return 1;
  }
}
