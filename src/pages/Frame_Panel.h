#pragma once
// The base of every wizard page. The main window drives each page through
// the same three operations; a page overrides only those it needs, and
// reaches the window and the operating system only through its host.

#include <string>

#include "pages/PageHost.h"
#include "ui/Controls.h"
#include "widgets/MVI_ButtonBar.h"


class TFramePanel : public TCustomControl {
 public:
  static constexpr int PageWidth = 712;
  static constexpr int PageHeight = 377;
  static constexpr TColor PageColor = 0xF0CAA6;  // sky blue

  TFramePanel(TComponent* owner, TPageHost& host);
  std::string ClassName() const override { return "TFramePanel"; }

  // The page's title in the main window's header; set once by the constructor.
  std::string HeaderText;

  // Puts the page's buttons on the bar, which the main window has just cleared.
  virtual void SetupButtons(tMvButtonBar& bar);
  // Fills or resets the controls from the shared setup state; runs on every
  // showing, before the page slides in.
  virtual void EnterPage();
  // Starts the page's own work once it is fully in view. A page that works
  // without the user does all of it here and ends by showing the next page.
  virtual void RunPage();

  void Paint(TCanvas& canvas) override;
  // A page named after its title. It takes the focus when it slides in
  // without a control of its own taking it, so that a screen reader reads
  // the title.
  void DescribeAccessible(TAccessibleInfo& info) const override;

  // "&Exit" of every page with buttons: closes the window, no question asked.
  void ExitClick(TObject* sender);

 protected:
  // "&Exit" at the left end of the bar.
  void AddExitButton(tMvButtonBar& bar);
  // What "&Start Fotelix" of both finished pages does: starts the product
  // from the folder the run wrote to, maximised, with the ordinary rights of
  // the signed-in user, and closes the window. The
  // run is complete either way: a product that does not start is no error
  // of the setup, and the Start menu still has it.
  void StartProductAndClose();

  TPageHost& Host() const { return host_; }
  TSetupState& State() const { return host_.State(); }

 private:
  TPageHost& host_;
};
