#pragma once
// What a wizard page may ask of the window that shows it. The pages never
// call one another nor the main window directly: they move on by name and
// share their data through the setup state, so that each page can be made
// and tested with any host.

#include <string>

#include "install/SetupState.h"

class TPlatform;

class TPageHost {
 public:
  virtual ~TPageHost() = default;

  // Shows the page of that name (PageNames.h), compared without regard to
  // letter case.
  virtual void ShowPage(const std::string& name, bool animate) = 0;
  // Closes the window, which ends the program.
  virtual void Close() = 0;

  // The values the pages collect for the runs.
  virtual TSetupState& State() = 0;
  // The operating system, the running process included.
  virtual TPlatform& Platform() = 0;

  // True while a page's search, install or upgrade run works, which it does
  // inside RunPage while processing messages.
  virtual bool RunWorking() const = 0;

 protected:
  friend class TWorkingRun;
  virtual void BeginRun() = 0;
  virtual void EndRun() = 0;
  // How many page switches have begun since the window was made.
  virtual unsigned PageSwitches() const = 0;
};

// Held by a page for the length of its run, so that the host keeps the user
// from starting anything that would run beside it.
class TWorkingRun {
 public:
  explicit TWorkingRun(TPageHost& host) : host_(host), switches_(host.PageSwitches()) { host_.BeginRun(); }
  ~TWorkingRun() { End(); }
  TWorkingRun(const TWorkingRun&) = delete;
  TWorkingRun& operator=(const TWorkingRun&) = delete;

  // Ends the run, and tells whether its page may move on: not when another
  // page has been shown while it worked. That is the error page, put up by
  // a handler that failed while the run processed messages, and the error
  // must stay in view rather than give way to the run's next page.
  bool End() {
    if (working_) {
      working_ = false;
      host_.EndRun();
    }
    return host_.PageSwitches() == switches_;
  }

 private:
  TPageHost& host_;
  const unsigned switches_;
  bool working_ = true;
};
