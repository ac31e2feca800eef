// Runs of like events with a clock of the test's own: one count for each
// run, and when a run that nothing ends falls due.

#include "counted_run.h"

#include <gtest/gtest.h>

namespace {

using krvEBLowLevel::CountedRun;
using namespace std::chrono_literals;

const CountedRun::Clock::time_point start{1h};
const CountedRun::Timing timing{100ms, 1s};

TEST(CountedRun, CountsEventsIntoOneRunUntilItEnds) {
    CountedRun run(timing);
    EXPECT_FALSE(run.pending());
    EXPECT_EQ(run.end(), 0u);
    run.add(2000, start);
    run.add(0, start + 1ms);
    run.add(3, start + 2ms);
    EXPECT_TRUE(run.pending());
    EXPECT_EQ(run.end(), 2003u);
    EXPECT_FALSE(run.pending());
    run.add(1, start + 5s);
    EXPECT_EQ(run.end(), 1u) << "a new run after the end";
}

TEST(CountedRun, ARunNothingEndsIsDueAfterAQuietMomentOrOnceEveryLongestWhileItGoesOn) {
    CountedRun run(timing);
    run.add(1, start);
    EXPECT_EQ(run.due(), start + 100ms);
    run.add(1, start + 60ms);
    EXPECT_EQ(run.due(), start + 160ms) << "each event puts the quiet moment off";
    for (auto at = start + 100ms; at < start + 3s; at += 50ms) run.add(1, at);
    EXPECT_EQ(run.due(), start + 1s) << "but not beyond the longest from the run's first event";
    run.end();
    run.add(1, start + 4s);
    EXPECT_EQ(run.due(), start + 4100ms);
}

}  // namespace
