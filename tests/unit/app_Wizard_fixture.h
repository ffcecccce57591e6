#pragma once
// A main window with all its pages on the headless backend and a simulated
// Windows, the shared state as at program start.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/Appl_Globals.h"
#include "app/Form_Main.h"
#include "HostSim_fixture.h"
#include "lib/LIB_Random.h"
#include "ui/headless/HeadlessBackend.h"
#include "widgets/MVI_ButtonBar.h"

class WizardTest : public HostSimTest {
 protected:
  void SetUp() override {
    HostSimTest::SetUp();
    Start({});
  }

  void Start(std::vector<std::string> arguments) {
    form.reset();
    savedColors = tMvButtonBar::SharedColors();
    SetRandSeed(0);
    ::Setup = TSetupState();
    Application().Title = "Install_Fotelix";
    Headless().MessageBoxes.clear();
    Headless().MessageBoxResponder = nullptr;
    Headless().SetClipboardText("");
    Headless().AfterMessages = nullptr;
    form = std::make_unique<TFormMain>(nullptr, *os_, std::move(arguments));
    Application().MainForm = form.get();
  }

  void TearDown() override {
    Headless().AfterMessages = nullptr;
    Application().MainForm = nullptr;
    form.reset();
    tMvButtonBar::SetSharedColors(savedColors);
    HostSimTest::TearDown();
  }

  static THeadlessBackend& Headless() { return dynamic_cast<THeadlessBackend&>(Application().Backend()); }

  std::string ActivePage() const {
    TTabSheet* sheet = form->PageControl->ActivePage();
    return sheet ? sheet->Name : std::string();
  }
  template <class T>
  T& Page(const std::string& name) {
    TTabSheet* sheet = form->PageControl->FindPage(name);
    if (!sheet) throw std::runtime_error("no page " + name);
    return dynamic_cast<T&>(*sheet->Controls().front());
  }

  // Captions of the buttons on the bar, left ones first, in placing order.
  std::vector<std::string> Buttons() const {
    std::vector<std::string> captions;
    for (int i = 1; i <= form->PnlButtons->LeftCount(); ++i)
      captions.push_back(form->PnlButtons->LeftButton(i)->Caption());
    for (int i = 1; i <= form->PnlButtons->RightCount(); ++i)
      captions.push_back(form->PnlButtons->RightButton(i)->Caption());
    return captions;
  }
  // A click on the shown bar button with that caption, as the user makes it.
  void Click(const std::string& caption) {
    for (TControl* control : form->PnlButtons->Controls())
      if (control->Visible() && control->Caption() == caption) {
        control->Click();
        return;
      }
    FAIL() << "no button " << caption;
  }
  // Runs the action through the event dispatch point, as a click would.
  void Dispatch(const std::function<void()>& action) { Application().Dispatch(form.get(), action); }

  bool PartsInPlace() const {
    return form->PnlHeader->Left() == 40 && form->PnlButtons->Left() == 40 &&
           form->PageControl->Left() == 40;
  }

  std::unique_ptr<TFormMain> form;
  TMvButtonColors savedColors;
};

// Runs an action once, at a moment of the virtual clock, from the message
// loop: how a click arrives in the middle of a slide.
class TAt {
 public:
  TAt(unsigned milliseconds, std::function<void()> action) : timer_(nullptr) {
    timer_.SetInterval(milliseconds);
    timer_.SetOnTimer([this, action](TObject*) {
      timer_.SetEnabled(false);
      action();
    });
  }

 private:
  TTimer timer_;
};
