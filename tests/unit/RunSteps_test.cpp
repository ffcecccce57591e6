#include "install/RunSteps.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "unit/CaseName.h"
#include "unit/RunFakes.h"

namespace {

constexpr TOnFailure kIgnored = TOnFailure::Ignored;

// Steps that write their names into one trace, and fail when told to.
struct TTrace {
  std::vector<std::string> names;
  TRunStep Does(const char* name, TOnFailure onFailure = TOnFailure::EndsTheBlock) {
    return Step([this, name] { names.push_back(name); }, onFailure);
  }
  TRunStep Fails(const char* name, TOnFailure onFailure = TOnFailure::EndsTheBlock) {
    return Step(
        [this, name] {
          names.push_back(name);
          throw std::runtime_error(name);
        },
        onFailure);
  }
};

struct RunCase {
  const char* name;
  std::function<std::vector<TRunStep>(TTrace&)> steps;
  std::vector<std::string> trace;
  std::vector<int32_t> positions;  // of a range of 1000
  const char* raised;              // nullptr: the run ends well
};

const RunCase kRuns[] = {
    {"a failing step inside a block skips the rest of that block and nothing after it",
     [](TTrace& t) -> std::vector<TRunStep> {
       return {t.Does("a"), Block({t.Does("b"), t.Fails("c"), t.Does("d")}, kIgnored), t.Does("e")};
     },
     {"a", "b", "c", "e"}, {}, nullptr},
    {"an ignored failure goes on within its block",
     [](TTrace& t) -> std::vector<TRunStep> {
       return {Block({t.Fails("a", kIgnored), t.Does("b")}, kIgnored), t.Does("c")};
     },
     {"a", "b", "c"}, {}, nullptr},
    {"a block that a failure ends ends the block around it",
     [](TTrace& t) -> std::vector<TRunStep> {
       return {Block({Block({t.Fails("a"), t.Does("b")}), t.Does("c")}, kIgnored), t.Does("d")};
     },
     {"a", "d"}, {}, nullptr},
    {"a failure that ends the run reaches the caller",
     [](TTrace& t) -> std::vector<TRunStep> {
       return {t.Does("a"), Block({t.Fails("b")}), t.Does("c")};
     },
     {"a", "b"}, {}, "b"},
    {"the percentage after a step that is done, ignored or left out, and none after the end",
     [](TTrace& t) -> std::vector<TRunStep> {
       return {t.Does("a").ThenShows(10), t.Fails("b", kIgnored).ThenShows(25),
               Block({t.Does("c")}).When(false).ThenShows(50), t.Fails("d").ThenShows(99)};
     },
     {"a", "b", "d"}, {100, 250, 500}, "d"},
};

class RunStepsTest : public testing::TestWithParam<RunCase> {};

TEST_P(RunStepsTest, CarriesOutThePolicies) {
  const RunCase& c = GetParam();
  TTrace trace;
  TFakeProgress progress(1000);
  std::string raised;
  try {
    RunSteps(c.steps(trace), progress);
  } catch (const std::runtime_error& error) {
    raised = error.what();
  }
  EXPECT_EQ(trace.names, c.trace);
  EXPECT_EQ(progress.positions, c.positions);
  EXPECT_EQ(progress.messageRuns, static_cast<int>(c.positions.size()));
  EXPECT_EQ(raised, c.raised ? c.raised : "");
}

INSTANTIATE_TEST_SUITE_P(Runs, RunStepsTest, testing::ValuesIn(kRuns), CaseName<RunCase>);

TEST(RunStepsRetry, TriesAgainUntilTheJudgeEndsTheStep) {
  std::vector<std::string> trace;
  TRetry retry;
  retry.Judge = [&](const std::exception& error, int attempt) {
    trace.push_back(std::string(error.what()) + " " + std::to_string(attempt));
    if (attempt == 3) throw std::logic_error("given up");
  };
  retry.Wait = [&](int attempt) { trace.push_back("wait " + std::to_string(attempt)); };
  const auto failing = [&] { throw std::runtime_error("busy"); };
  TNoProgress none;
  EXPECT_THROW(RunSteps({Step(failing).RetriedAs(retry), Step([&] { trace.push_back("after"); })}, none),
               std::logic_error);
  EXPECT_EQ(trace, (std::vector<std::string>{"busy 1", "wait 1", "busy 2", "wait 2", "busy 3"}));

  // One that succeeds at its second attempt, inside a block whose failures
  // are ignored: the run goes on. Anything but a std::exception passes
  // through whatever the policy.
  trace.clear();
  int attempts = 0;
  const auto secondTime = [&] {
    if (++attempts < 2) throw std::runtime_error("busy");
    trace.push_back("done");
  };
  RunSteps({Block({Step(secondTime).RetriedAs(retry)}, kIgnored), Step([&] { trace.push_back("after"); })}, none);
  EXPECT_EQ(trace, (std::vector<std::string>{"busy 1", "wait 1", "done", "after"}));
  // Without a wait the next attempt follows at once.
  trace.clear();
  attempts = 0;
  retry.Wait = nullptr;
  RunSteps({Step(secondTime).RetriedAs(retry)}, none);
  EXPECT_EQ(trace, (std::vector<std::string>{"busy 1", "done"}));
  EXPECT_THROW(RunSteps({Step([] { throw 1; }, kIgnored)}, none), int);
}

}  // namespace
