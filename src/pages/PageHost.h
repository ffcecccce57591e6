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
};

// Held by a page for the length of its run, so that the host keeps the user
// from starting anything that would run beside it.
class TWorkingRun {
 public:
  explicit TWorkingRun(TPageHost& host) : host_(host) { host_.BeginRun(); }
  ~TWorkingRun() { host_.EndRun(); }
  TWorkingRun(const TWorkingRun&) = delete;
  TWorkingRun& operator=(const TWorkingRun&) = delete;

 private:
  TPageHost& host_;
};
