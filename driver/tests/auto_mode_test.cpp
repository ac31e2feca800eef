// Auto mode's timetable with a clock of the test's own: which request falls
// due when, and what a stop leaves.

#include "auto_mode.h"

#include <gtest/gtest.h>

#include <vector>

#include "boardio/commands.h"

namespace {

using namespace krvEBLowLevel;
using namespace std::chrono_literals;

struct Due {
    std::chrono::milliseconds at;  // from the start
    unsigned char request;
};

// Takes every step due up to `until`, as the board connection's timer does.
std::vector<Due> run(AutoMode& mode, AutoMode::Clock::time_point start, std::chrono::milliseconds until) {
    std::vector<Due> requests;
    while (mode.running() && mode.due() - start <= until) {
        const auto at = std::chrono::duration_cast<std::chrono::milliseconds>(mode.due() - start);
        if (const unsigned char request = mode.take()) requests.push_back({at, request});
    }
    return requests;
}

bool operator==(const Due& a, const Due& b) { return a.at == b.at && a.request == b.request; }

void PrintTo(const Due& due, std::ostream* out) { *out << due.at.count() << "ms:" << static_cast<int>(due.request); }

const AutoMode::Clock::time_point start{1h};

TEST(AutoMode, OpensWithTheResetPairThenRepeatsItsCycleEvery2200Ms) {
    AutoMode mode;
    EXPECT_FALSE(mode.running());
    mode.start(start);
    EXPECT_EQ(run(mode, start, 3200ms), (std::vector<Due>{
                                            {0ms, KRV_CMD_SEND_RESET},
                                            {200ms, KRV_CMD_SEND_UPDATE_NICE},
                                            {600ms, KRV_CMD_SEND_TRADEMARK},
                                            {1000ms, KRV_CMD_RETURN_SERIALNR},
                                            {1400ms, KRV_CMD_RETURN_BUSADDRESS},
                                            {1800ms, KRV_CMD_SEND_CLK},
                                            {2200ms, KRV_CMD_SEND_BRD},
                                            {2800ms, KRV_CMD_SEND_TRADEMARK},
                                            {3200ms, KRV_CMD_RETURN_SERIALNR},
                                        }));
}

TEST(AutoMode, AStopEndsItButNeverLeavesTheResetWithoutTheRequestForUpdates) {
    const struct {
        const char* when;
        int stepsTakenFirst;
        std::vector<Due> after;
    } cases[] = {
        {"before the reset", 0, {}},
        {"between the pair", 1, {{200ms, KRV_CMD_SEND_UPDATE_NICE}}},
        {"after the pair", 2, {}},
        {"in the cycle", 5, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.when);
        AutoMode mode;
        mode.start(start);
        for (int i = 0; i < c.stepsTakenFirst; ++i) mode.take();
        mode.stop();
        EXPECT_EQ(run(mode, start, 10s), c.after);
        EXPECT_FALSE(mode.running());
    }
}

TEST(AutoMode, ClearForgetsEvenTheOpeningPairAndAStartBeginsAfresh) {
    AutoMode mode;
    mode.start(start);
    mode.take();
    mode.clear();
    EXPECT_FALSE(mode.running());
    mode.start(start + 3s);
    EXPECT_EQ(run(mode, start, 3200ms), (std::vector<Due>{{3000ms, KRV_CMD_SEND_RESET},
                                                          {3200ms, KRV_CMD_SEND_UPDATE_NICE}}));
}

}  // namespace
