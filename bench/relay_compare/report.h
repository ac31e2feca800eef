#ifndef RELAY_COMPARE_REPORT_H
#define RELAY_COMPARE_REPORT_H

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "comparison.h"

namespace relay_compare {

// What damrelay should reach. Only shown beside the figures: a missed
// target does not fail the bench, since figures on a shared machine swing.
struct Target {
    std::string key;   // what it is about
    std::string goal;  // the bound, as the table shows it beside the figure
    bool measured = false;
    bool met = false;
};

// Latency ratios are damrelay's figure over socat's: under 1.0 damrelay
// adds nothing that socat's plain copy does not.
double latencyRatio(double damrelay, double socat);

// How much the soak's VmRSS grew from its first checkpoint under traffic to
// its last; empty when there are not two checkpoints under traffic.
std::optional<long> residentGrowthKiB(const StreamResult& soak);

// Expects damrelay as the first relay and socat as the second.
std::vector<Target> evaluateTargets(const Comparison& comparison);

// The comparison as one table, damrelay beside socat, targets beside the
// figures they are about.
void printTable(std::ostream& out, const Comparison& comparison);

}  // namespace relay_compare

#endif
