#ifndef RELAY_COMPARE_TARGETS_H
#define RELAY_COMPARE_TARGETS_H

#include <optional>
#include <string>
#include <vector>

#include "comparison.h"

namespace relay_compare {

// What damrelay should reach. Only shown beside the figures: a missed
// target does not fail the bench, since figures on a shared machine swing.
struct Target {
    std::string key;   // what it is about, as the JSON file names it
    std::string goal;  // the bound, as the table shows it beside the figure
    std::string figure;
    bool measured = false;
    bool met = false;
};

// Latency ratios are damrelay's figure over socat's: under 1.0 damrelay
// adds nothing that socat's plain copy does not.
double latencyRatio(double damrelay, double socat);

// The soak's RSS counts as flat when it grew no more than this from its
// first checkpoint under traffic to its last.
constexpr long flatResidentGrowthKiB = 128;
// The growth; empty when there are not two checkpoints under traffic.
std::optional<long> residentGrowthKiB(const StreamResult& soak);

// Expects damrelay as the first subject and socat as the second.
std::vector<Target> evaluateTargets(const Comparison& comparison);

}  // namespace relay_compare

#endif
