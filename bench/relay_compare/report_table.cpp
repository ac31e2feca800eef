#include <boost/format.hpp>
#include <tuple>

#include "report.h"

namespace relay_compare {

namespace {

// Label, damrelay, socat, ratio, target.
const char* const rowFormat = "  %-36s %18s %18s %7s  %s\n";

std::string fixed(double value, int decimals) {
    return str(boost::format("%." + std::to_string(decimals) + "f") % value);
}

// A figure of a measurement that took no sample is no figure.
std::string latencyCell(const Spread& spread, double value, int decimals) {
    return spread.samples == 0 ? "-" : fixed(value, decimals);
}

std::string milliseconds(double microseconds) { return microseconds < 0 ? "n/a" : fixed(microseconds / 1000.0, 3); }

std::string targetNote(const std::vector<Target>& targets, const std::string& key) {
    for (const Target& target : targets) {
        if (target.key != key) continue;
        if (!target.measured) return "target " + target.goal + ": not measured";
        return str(boost::format("target %1%: %2%") % target.goal % (target.met ? "met" : "MISSED"));
    }
    return {};
}

std::string joined(const std::vector<double>& values, int decimals) {
    std::string text;
    for (const double value : values) text += (text.empty() ? "" : " ") + fixed(value, decimals);
    return text;
}

void printHeader(std::ostream& out, const Comparison& comparison) {
    const Options& options = comparison.options;
    const RelayResults& damrelay = comparison.relays.at(0);
    const RelayResults& socat = comparison.relays.at(1);
    out << "=== damrelay beside socat: board pty <-> relay <-> program on TCP 127.0.0.1 ===\n";
    out << boost::format("machine   %1% cores, %2%, %3%\n") % comparison.machine.cores % comparison.machine.model %
               comparison.machine.kernel;
    out << boost::format("started   %1%; load average %2% at the start, %3% at the end\n") % comparison.startedAt %
               comparison.loadAtStart % comparison.loadAtEnd;
    out << boost::format("damrelay  %1%\n          (%2%)\n") % damrelay.commandLine % damrelay.version;
    out << boost::format("socat     %1%\n          (socat %2%)\n") % socat.commandLine % socat.version;
    out << "path      both open the device side of a fresh pty whose other side the bench writes as the board;\n"
           "          the program reads a text line from damrelay (\"023P\\n\") and the raw 5-byte frame from socat,\n"
           "          and sends \"66\\n\" to damrelay and the byte 0x42 to socat\n";
    out << boost::format(
               "run       %1%: %2% rounds taken in turn (damrelay, socat, socat, damrelay, ...); latency %3% frames a "
               "round each way\n          after %4% warm-up; throughput %5% frames a round; soak %6% frames; idle "
               "%7% s\n") %
               (options.quick ? "quick" : "full") % options.rounds % options.latencyFrames % options.warmUpFrames %
               options.throughputFrames % options.soakFrames % options.idleSeconds;
}

void printLatency(std::ostream& out, const Comparison& comparison, const std::vector<Target>& targets) {
    const RelayResults& damrelay = comparison.relays.at(0);
    const RelayResults& socat = comparison.relays.at(1);
    out << boost::format("\nlatency, us, one frame at a time, rounds pooled: %1%\n") % comparison.options.rounds;
    out << boost::format(rowFormat) % "" % "damrelay" % "socat" % "ratio" % "";
    using Samples = std::vector<double> RelayResults::*;
    const std::tuple<const char*, const char*, Samples, Samples> directions[] = {
        {"board frame -> program line", "board_to_program", &RelayResults::boardToProgram,
         &RelayResults::boardToProgramMedians},
        {"program request -> board byte", "program_to_board", &RelayResults::programToBoard,
         &RelayResults::programToBoardMedians},
    };
    for (const auto& [label, key, samples, medians] : directions) {
        const Spread ours = spreadOf(damrelay.*samples);
        const Spread theirs = spreadOf(socat.*samples);
        for (const auto& [name, member] : {std::pair{"p50", &Spread::p50}, {"p99", &Spread::p99}, {"max", &Spread::max}}) {
            const bool both = ours.samples > 0 && theirs.samples > 0;
            out << boost::format(rowFormat) % (std::string(label) + "  " + name) % latencyCell(ours, ours.*member, 1) %
                       latencyCell(theirs, theirs.*member, 1) %
                       (both ? fixed(latencyRatio(ours.*member, theirs.*member), 2) : "-") %
                       targetNote(targets, std::string(key) + "_" + name + "_ratio");
        }
        out << boost::format(rowFormat) % "  median of each round" % joined(damrelay.*medians, 1) %
                   joined(socat.*medians, 1) % "" % "";
        out << boost::format(rowFormat) % "  samples" % ours.samples % theirs.samples % "" % "";
    }
}

void printThroughput(std::ostream& out, const Comparison& comparison, const std::vector<Target>& targets) {
    const RelayResults& damrelay = comparison.relays.at(0);
    const RelayResults& socat = comparison.relays.at(1);
    out << boost::format("\nthroughput, field updates/s end to end, %1% frames a round, every one checked in order\n") %
               comparison.options.throughputFrames;
    out << boost::format(rowFormat) % "" % "damrelay" % "socat" % "" % "";
    out << boost::format(rowFormat) % "rounds pooled" % fixed(damrelay.pooledThroughput().framesPerSecond(), 0) %
               fixed(socat.pooledThroughput().framesPerSecond(), 0) %
               "" % targetNote(targets, "throughput");
    std::vector<double> ours, theirs;
    for (const StreamResult& round : damrelay.throughputRounds) ours.push_back(round.framesPerSecond());
    for (const StreamResult& round : socat.throughputRounds) theirs.push_back(round.framesPerSecond());
    out << boost::format(rowFormat) % "  each round" % joined(ours, 0) % joined(theirs, 0) % "" % "";
    out << boost::format(rowFormat) % "relay CPU per field update, us" % fixed(damrelay.pooledThroughput().cpuMicrosecondsPerFrame(), 2) %
               fixed(socat.pooledThroughput().cpuMicrosecondsPerFrame(), 2) % "" % "";
    out << "  (socat's figure counts raw frames through a byte copy, for reference)\n";
}

void printIdle(std::ostream& out, const Comparison& comparison, const std::vector<Target>& targets) {
    const IdleCpu& ours = comparison.relays.at(0).idle;
    const IdleCpu& theirs = comparison.relays.at(1).idle;
    out << boost::format("\nidle, board connected and a program connected, over %1% s\n") %
               comparison.options.idleSeconds;
    out << boost::format(rowFormat) % "" % "damrelay" % "socat" % "" % "";
    out << boost::format(rowFormat) % "CPU, ms (scheduler, /proc schedstat)" %
               milliseconds(ours.used.scheduledMicroseconds) % milliseconds(theirs.used.scheduledMicroseconds) % "" %
               targetNote(targets, "idle_cpu");
    out << boost::format(rowFormat) % "CPU, ms (utime+stime, /proc stat)" % fixed(ours.used.statMilliseconds, 0) %
               fixed(theirs.used.statMilliseconds, 0) % "" % "";
    out << boost::format(rowFormat) % "wake-ups" % ours.used.timesScheduled % theirs.used.timesScheduled % "" % "";
    out << boost::format(rowFormat) % "VmRSS, KiB" % ours.residentKiB % theirs.residentKiB % "" % "";
}

void printSoak(std::ostream& out, const Comparison& comparison, const std::vector<Target>& targets) {
    const StreamResult& ours = comparison.relays.at(0).soak;
    const StreamResult& theirs = comparison.relays.at(1).soak;
    out << boost::format("\nsoak, %1% frames, every one checked in order; VmRSS / VmHWM, KiB\n") %
               comparison.options.soakFrames;
    out << boost::format(rowFormat) % "" % "damrelay" % "socat" % "" % "";
    const std::size_t rows = std::max(ours.checkpoints.size(), theirs.checkpoints.size());
    auto cell = [](const StreamResult& soak, std::size_t row) -> std::string {
        if (row >= soak.checkpoints.size()) return "-";
        return str(boost::format("%1% / %2%") % soak.checkpoints[row].residentKiB % soak.checkpoints[row].peakKiB);
    };
    for (std::size_t row = 0; row < rows; ++row) {
        const std::vector<MemoryCheckpoint>& longer =
            ours.checkpoints.size() >= theirs.checkpoints.size() ? ours.checkpoints : theirs.checkpoints;
        out << boost::format(rowFormat) % str(boost::format("after %1% frames") % longer[row].frames) %
                   cell(ours, row) % cell(theirs, row) % "" % "";
    }
    out << boost::format(rowFormat) % "peak (VmHWM) at the end" % ours.peakKiB % theirs.peakKiB % "" % "";
    const std::optional<long> ourGrowth = residentGrowthKiB(ours);
    const std::optional<long> theirGrowth = residentGrowthKiB(theirs);
    out << boost::format(rowFormat) % "VmRSS growth under traffic" % (ourGrowth ? std::to_string(*ourGrowth) : "-") %
               (theirGrowth ? std::to_string(*theirGrowth) : "-") % "" % targetNote(targets, "rss_flat");
    out << boost::format(rowFormat) % "field updates/s during the soak" % fixed(ours.framesPerSecond(), 0) %
               fixed(theirs.framesPerSecond(), 0) % "" % "";
    out << boost::format(rowFormat) % "relay CPU per field update, us" % fixed(ours.cpuMicrosecondsPerFrame(), 2) %
               fixed(theirs.cpuMicrosecondsPerFrame(), 2) % "" % "";
}

void printProblems(std::ostream& out, const Comparison& comparison) {
    const std::vector<std::string> problems = problemsOf(comparison);
    out << "\nframes lost or out of order, runs that failed: " << (problems.empty() ? "none\n" : "\n");
    for (const std::string& problem : problems) out << "  " << problem << '\n';
}

}  // namespace

void printTable(std::ostream& out, const Comparison& comparison) {
    const std::vector<Target> targets = evaluateTargets(comparison);
    printHeader(out, comparison);
    printLatency(out, comparison, targets);
    printThroughput(out, comparison, targets);
    printIdle(out, comparison, targets);
    printSoak(out, comparison, targets);
    printProblems(out, comparison);

    long met = 0;
    for (const Target& target : targets) met += target.met ? 1 : 0;
    out << boost::format("\ntargets met: %1% of %2%\n") % met % targets.size();
}

}  // namespace relay_compare
