#include "pages/PNL_Progress.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ui/Application.h"
#include "ui/Forms.h"
#include "ui/headless/HeadlessBackend.h"

namespace {

THeadlessBackend& Headless() { return dynamic_cast<THeadlessBackend&>(Application().Backend()); }

// The caption tells the percentage of the position that the bar holds: within
// its range, rounded half to even.
TEST(PageProgress, ShowsThePercentageOfWhatTheBarHolds) {
  TForm form(nullptr);
  TProgressBar* bar = form.Create<TProgressBar>();
  TLabel* percent = form.Create<TLabel>();
  TLabel* status = form.Create<TLabel>();
  TPageProgress progress(*bar, *percent, *status);
  struct Case {
    int32_t range, position, held;
    const char* caption;
  };
  const Case cases[] = {
      {100, 0, 0, "0% complete"},
      {8192, 1024, 1024, "12% complete"},  // 12.5 % rounds to the even 12
      {8192, 2048, 2048, "25% complete"},
      {8192, 9000, 8192, "100% complete"},
      {5127929, 4962512, 4962512, "97% complete"},
      {5127929, -1, 0, "0% complete"},
      {0, 5, 0, "0% complete"},  // a bar without a range
  };
  for (const Case& c : cases) {
    progress.SetRange(c.range);
    progress.SetPosition(c.position);
    EXPECT_EQ(progress.Range(), c.range);
    EXPECT_EQ(bar->Position(), c.held) << c.range << " " << c.position;
    EXPECT_EQ(percent->Caption(), c.caption) << c.range << " " << c.position;
  }

  progress.SetStatus("waiting");
  EXPECT_EQ(status->Caption(), "waiting");
  int pumped = 0;
  Headless().AfterMessages = [&] { ++pumped; };
  progress.SetRange(200);
  progress.Report(50);
  Headless().AfterMessages = nullptr;
  EXPECT_EQ(pumped, 1);
  EXPECT_EQ(percent->Caption(), "25% complete");
}

}  // namespace
