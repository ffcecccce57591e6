// Errors raised deep inside window procedures reach the error page, on the
// real windows of the wizard. The shipped 32-bit build unwinds C++
// exceptions by tables that cannot cross the system's own frames, so an
// exception that escaped a window procedure would end the process there,
// where the 64-bit build would carry on.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/Appl_Globals.h"
#include "app/Form_Main.h"
#include "lib/LIB_Random.h"
#include "pages/PNL_Error.h"
#include "ui/Application.h"
#include "ui/StdCtrls.h"
#include "ui/headless/HeadlessBackend.h"
#include "ui/win32/Win32Backend.h"
#include "unit/HostSim_fixture.h"
#include "win32/Win32Fixtures.h"
#include "widgets/MVI_ButtonBar.h"

#include <windows.h>

namespace {

class Win32ErrorsTest : public HostSimTest {
 protected:
  void SetUp() override {
    HostSimTest::SetUp();
    try {
      auto backend = std::make_unique<TWatchedWin32Backend>();
      watched = backend.get();
      Application().SetBackend(std::move(backend));
    } catch (const std::runtime_error&) {
      GTEST_SKIP() << "Windows cannot be made here: run with a display (Xvfb) for these tests.";
    }
    for (const auto& [csidl, folder] : {std::pair{kCsidlProgramFiles, "C:\\Program Files"},
                                        std::pair{kCsidlLocalAppData, "C:\\Local"},
                                        std::pair{kCsidlPrograms, "C:\\Menu"},
                                        std::pair{kCsidlDesktopDirectory, "C:\\Desk"}}) {
      MakeFolder(folder);
      os_->SetShellFolder(csidl, folder, 0);
    }
    savedColors = tMvButtonBar::SharedColors();
    SetRandSeed(0);
    ::Setup = TSetupState();
    ::Setup.InstallerEdition = "04";
    form = std::make_unique<TFormMain>(nullptr, *os_, std::vector<std::string>{});
    Application().MainForm = form.get();
    form->Show();
  }

  void TearDown() override {
    if (watched) watched->AfterMessages = nullptr;
    Application().MainForm = nullptr;
    form.reset();
    tMvButtonBar::SetSharedColors(savedColors);
    if (dynamic_cast<TWin32Backend*>(&Application().Backend()))
      Application().SetBackend(std::make_unique<THeadlessBackend>());
    HostSimTest::TearDown();
  }

  // A press and release of the mouse on the shown bar button with that
  // caption, sent to its window as the system sends them.
  void Click(const std::string& caption) {
    for (TControl* control : form->PnlButtons->Controls()) {
      auto* button = dynamic_cast<TWinControl*>(control);
      if (!button || !button->Visible() || button->Caption() != caption) continue;
      HWND window = static_cast<HWND>(button->Handle());
      ::SendMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
      ::SendMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
      return;
    }
    FAIL() << "no button " << caption;
  }

  std::string ActivePage() const { return form->PageControl->ActivePage()->Name; }

  TWatchedWin32Backend* watched = nullptr;
  std::unique_ptr<TFormMain> form;
  TMvButtonColors savedColors;
};

// Each error comes from another depth of the click on "&Install Now": the
// slide runs in the click's window procedure and pumps messages, the run
// follows it there and pumps them at every step, and a handler of a message
// that either of them dispatches is a window procedure within a window
// procedure. An error that the run's pumping reports stays on the page,
// rather than give way to the finished page when the run ends.
TEST_F(Win32ErrorsTest, AnErrorFromAnyDepthOfAClickEndsOnTheErrorPage) {
  TTimer timer(nullptr);
  timer.SetEnabled(false);
  bool posted = false;
  TButton* thrower = form->Create<TButton>();
  thrower->SetParent(form.get());
  thrower->OnClick = [](TObject*) { throw std::runtime_error("A click during the run failed."); };

  struct TCase {
    const char* Where;
    std::function<void()> Arrange;
    const char* Message;
  };
  const std::vector<TCase> cases = {
      {"a click that the run's pumping dispatches",
       [&] {
         watched->AfterMessages = [&] {
           if (posted || !form->RunWorking()) return;
           posted = true;
           ::PostMessageA(static_cast<HWND>(thrower->Handle()), BM_CLICK, 0, 0);
         };
       },
       "A click during the run failed."},
      {"a timer during the slide",
       [&] {
         timer.SetInterval(100);
         timer.SetOnTimer([&](TObject*) {
           timer.SetEnabled(false);
           throw std::logic_error("A timer during the slide failed.");
         });
         timer.SetEnabled(true);
       },
       "A timer during the slide failed."},
      {"a step of the run", [&] { os_->SetDiskSpace('C', 1000); },
       "Cannot create file C:\\Program Files\\Fotelix\\Fotelix.Exe: the disk is full (error 112)"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Where);
    ::Setup.InstallDir = "C:\\Program Files\\Fotelix\\";
    ::Setup.DownloadDir = "C:\\Images\\";
    form->ShowPage("PNLInstallGo", false);
    c.Arrange();
    Click("&Install Now");
    EXPECT_EQ(ActivePage(), "PnlError");
    EXPECT_EQ(ErrorPage->StaticText1->Caption(), c.Message);
    EXPECT_FALSE(form->RunWorking());
    EXPECT_FALSE(form->Busy());
    os_->SetDiskSpace('C', UINT64_MAX);
  }
  // The process lives on, and leaves the way the user asks.
  Click("&Exit");
  EXPECT_TRUE(Application().Terminated());
  EXPECT_FALSE(::IsWindowVisible(static_cast<HWND>(form->Handle())));
}

}  // namespace
