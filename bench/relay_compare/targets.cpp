#include "targets.h"

#include <boost/format.hpp>

#include "statistics.h"

namespace relay_compare {

namespace {

constexpr double ratioGoal = 1.0;
constexpr double throughputGoal = 100000;
// Per 10 s of idling.
constexpr double idleCpuGoalMilliseconds = 1.0;

Target measuredTarget(std::string key, std::string goal, std::string figure, bool met) {
    return {std::move(key), std::move(goal), std::move(figure), true, met};
}

void addLatencyTargets(const char* key, const std::vector<double>& damrelay, const std::vector<double>& socat,
                       std::vector<Target>& targets) {
    const Spread ours = spreadOf(damrelay);
    const Spread theirs = spreadOf(socat);
    const std::pair<const char*, double Spread::*> figures[] = {
        {"p50", &Spread::p50}, {"p99", &Spread::p99}, {"max", &Spread::max}};
    for (const auto& [name, member] : figures) {
        const std::string targetKey = str(boost::format("%1%_%2%_ratio") % key % name);
        const std::string goal = str(boost::format("ratio <= %1$.2f") % ratioGoal);
        if (ours.samples == 0 || theirs.samples == 0) {
            targets.push_back({targetKey, goal, "not measured", false, false});
            continue;
        }
        const double ratio = latencyRatio(ours.*member, theirs.*member);
        targets.push_back(measuredTarget(targetKey, goal, str(boost::format("%1$.2f") % ratio), ratio <= ratioGoal));
    }
}

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
    const SubjectResults& damrelay = comparison.subjects.at(0);
    const SubjectResults& socat = comparison.subjects.at(1);
    addLatencyTargets("board_to_program", damrelay.boardToProgram, socat.boardToProgram, targets);
    addLatencyTargets("program_to_board", damrelay.programToBoard, socat.programToBoard, targets);

    const std::string throughputGoalText = str(boost::format(">= %1$.0f/s") % throughputGoal);
    if (damrelay.throughput() > 0) {
        targets.push_back(measuredTarget("throughput", throughputGoalText,
                                         str(boost::format("%1$.0f/s") % damrelay.throughput()),
                                         damrelay.throughput() >= throughputGoal));
    } else {
        targets.push_back({"throughput", throughputGoalText, "not measured", false, false});
    }

    const std::string idleGoal = str(boost::format("< %1$.0f ms per 10 s") % idleCpuGoalMilliseconds);
    if (damrelay.idle.error.empty() && damrelay.idle.seconds > 0) {
        // The scheduler's figure where there is one: stat's ticks are 10 ms.
        const CpuTime& used = damrelay.idle.used;
        const double milliseconds =
            used.scheduledMicroseconds >= 0 ? used.scheduledMicroseconds / 1000.0 : used.statMilliseconds;
        const double per10s = milliseconds * 10.0 / damrelay.idle.seconds;
        targets.push_back(measuredTarget("idle_cpu", idleGoal, str(boost::format("%1$.3f ms per 10 s") % per10s),
                                         per10s < idleCpuGoalMilliseconds));
    } else {
        targets.push_back({"idle_cpu", idleGoal, "not measured", false, false});
    }

    const std::string flatGoal = str(boost::format("growth <= %1% KiB") % flatResidentGrowthKiB);
    const std::optional<long> growth = residentGrowthKiB(damrelay.soak);
    if (growth) {
        targets.push_back(measuredTarget("rss_flat", flatGoal,
                                         str(boost::format("%1%%2% KiB") % (*growth >= 0 ? "+" : "") % *growth),
                                         *growth <= flatResidentGrowthKiB && damrelay.soak.error.empty()));
    } else {
        targets.push_back({"rss_flat", flatGoal, "not measured", false, false});
    }
    return targets;
}

}  // namespace relay_compare
