#pragma once
// The one window of the setup program: the icon, the header with the page's
// title, the wizard pages on hidden tabs and the button bar. Every page
// switch goes through ShowPage, which slides the old page out and the new one
// in while the window keeps handling its messages. It is the host of every
// page.

#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "pages/Frame_Panel.h"
#include "pages/PageHost.h"
#include "ui/Application.h"
#include "ui/ExtCtrls.h"
#include "ui/Forms.h"
#include "widgets/MVI_ButtonBar.h"

class TFormMain : public TForm, public TPageHost {
 public:
  static constexpr int ClientWidth = 780;
  static constexpr int ClientHeight = 509;
  static constexpr int SlideSteps = 11;
  static constexpr int SlideStepPixels = 70;
  // How far out of view the parts go.
  static constexpr int SlideDistance = SlideSteps * SlideStepPixels;
  static constexpr unsigned SlideStepMilliseconds = 40;

  // Builds the window and runs FormCreate; arguments are the command line's
  // arguments 1 to N (CommandLineArguments). The platform serves the
  // pages for as long as the window lives.
  TFormMain(TComponent* owner, TPlatform& platform, std::vector<std::string> arguments);
  ~TFormMain() override;
  std::string ClassName() const override { return "TFormMain"; }

  TImage* ImgIcon = nullptr;
  TPanel* PnlHeader = nullptr;
  TPageControl* PageControl = nullptr;
  tMvButtonBar* PnlButtons = nullptr;
  TTimer* Timer1 = nullptr;
  TTimer* AlphaBlendTimer = nullptr;

  // True while a page switch is sliding; the bar's buttons do nothing then.
  bool Busy() const { return sliding_ != 0; }

  // --- TPageHost ---
  // A name of no page is a fault of the program and raises.
  void ShowPage(const std::string& name, bool animate) override;
  void Close() override { TForm::Close(); }
  TSetupState& State() override;
  TPlatform& Platform() override { return platform_; }
  bool RunWorking() const override { return runs_ > 0; }

  // Puts the page on a hidden tab sheet named after it; the window keeps it
  // until it is freed itself.
  void AddPage(std::unique_ptr<TFramePanel> page);

  // The application's handler for every exception that escapes an event
  // handler: the message goes to the error page, which slides into view.
  virtual void HandleAppException(TObject* sender, const std::exception& error);

  void FormCreate(TObject* sender);
  void FormShow(TObject* sender);
  void AlphaBlendTimerTimer(TObject* sender);
  void Timer1Timer(TObject* sender);
  void PnlHeaderClick(TObject* sender);


 protected:
  void BeginRun() override { ++runs_; }
  void EndRun() override { --runs_; }
  unsigned PageSwitches() const override { return switches_; }

 private:
  class TSlide;
  // The stored layout, then FormCreate.
  void Build();
  // Places header, bar and pages at that distance from home.
  void PlaceParts(int offset);
  void WaitStep();

  TPlatform& platform_;
  std::vector<std::string> arguments_;
  // Freed before the tab sheets that hold them.
  std::vector<std::unique_ptr<TFramePanel>> pages_;
  int partsOffset_ = 0;
  // The switch whose slide holds the parts out of place; 0 when none does.
  unsigned sliding_ = 0;
  int runs_ = 0;
  // Counts the switches begun, so that a slide sees when a newer one took over.
  unsigned switches_ = 0;
};

extern TFormMain* FormMain;
