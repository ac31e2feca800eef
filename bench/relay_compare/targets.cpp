#include <boost/format.hpp>

#include "report.h"

namespace relay_compare {

namespace {

constexpr double ratioGoal = 1.0;
constexpr double throughputGoal = 100000;
constexpr double idleCpuGoalMilliseconds = 1.0;  // per 10 s of idling
// The soak's VmRSS counts as flat when it grew no more than this.
constexpr long flatResidentGrowthKiB = 128;

}  // namespace

double latencyRatio(double damrelay, double socat) { return socat > 0 ? damrelay / socat : 0; }

std::optional<long> residentGrowthKiB(const StreamResult& soak) {
    // The first checkpoint is before any traffic: buffers and the first
    // lines' allocations come after it, and belong to start-up, not to a leak.
    if (soak.checkpoints.size() < 3) return std::nullopt;
    return soak.checkpoints.back().residentKiB - soak.checkpoints[1].residentKiB;
}

std::vector<Target> evaluateTargets(const Comparison& comparison) {
    std::vector<Target> targets;
    const RelayResults& damrelay = comparison.relays.at(0);
    const RelayResults& socat = comparison.relays.at(1);
    for (const auto& [key, samples] : {std::pair{"board_to_program", &RelayResults::boardToProgram},
                                       {"program_to_board", &RelayResults::programToBoard}}) {
        const Spread ours = spreadOf(damrelay.*samples);
        const Spread theirs = spreadOf(socat.*samples);
        for (const auto& [name, member] : {std::pair{"p50", &Spread::p50}, {"p99", &Spread::p99}, {"max", &Spread::max}}) {
            targets.push_back({str(boost::format("%1%_%2%_ratio") % key % name),
                               str(boost::format("ratio <= %1$.2f") % ratioGoal), ours.samples > 0 && theirs.samples > 0,
                               latencyRatio(ours.*member, theirs.*member) <= ratioGoal});
        }
    }
    const double throughput = damrelay.pooledThroughput().framesPerSecond();
    targets.push_back({"throughput", str(boost::format(">= %1$.0f/s") % throughputGoal), throughput > 0,
                       throughput >= throughputGoal});
    const IdleCpu& idle = damrelay.idle;
    targets.push_back({"idle_cpu", str(boost::format("< %1$.0f ms per 10 s") % idleCpuGoalMilliseconds),
                       idle.error.empty() && idle.seconds > 0,
                       idle.used.bestMicroseconds() / 1000.0 * 10.0 / idle.seconds < idleCpuGoalMilliseconds});
    const std::optional<long> growth = residentGrowthKiB(damrelay.soak);
    targets.push_back({"rss_flat", str(boost::format("growth <= %1% KiB") % flatResidentGrowthKiB), growth.has_value(),
                       growth && *growth <= flatResidentGrowthKiB && damrelay.soak.error.empty()});
    for (Target& target : targets) target.met = target.met && target.measured;
    return targets;
}

}  // namespace relay_compare
