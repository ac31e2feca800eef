#include "comparison.h"

#include <algorithm>
#include <boost/format.hpp>
#include <cmath>
#include <ctime>
#include <iostream>

namespace relay_compare {

namespace {

void progress(const boost::format& text) { std::cerr << text << std::endl; }

// The relays in round r: forwards in even rounds, backwards in odd ones, so
// that neither always runs first (damrelay, socat, socat, damrelay, ...).
std::vector<std::size_t> roundOrder(std::size_t count, int round) {
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < count; ++i) order.push_back(round % 2 == 0 ? i : count - 1 - i);
    return order;
}

std::string timeNow() {
    const std::time_t now = std::time(nullptr);
    char text[64] = {};
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S %Z", std::localtime(&now));
    return text;
}

void append(std::vector<double>& to, const std::vector<double>& more) { to.insert(to.end(), more.begin(), more.end()); }

}  // namespace

Spread spreadOf(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    Spread spread;
    spread.samples = samples.size();
    if (samples.empty()) return spread;
    const auto percentile = [&](double percent) {
        const auto rank = static_cast<std::size_t>(std::ceil(percent / 100.0 * static_cast<double>(samples.size())));
        return samples[std::clamp<std::size_t>(rank, 1, samples.size()) - 1];
    };
    spread.p50 = percentile(50);
    spread.p99 = percentile(99);
    spread.max = samples.back();
    return spread;
}

StreamResult RelayResults::pooledThroughput() const {
    StreamResult pooled;
    for (const StreamResult& round : throughputRounds) {
        pooled.received += round.received;
        pooled.seconds += round.seconds;
        pooled.relayCpuMicroseconds += round.relayCpuMicroseconds;
    }
    return pooled;
}

std::vector<std::string> problemsOf(const Comparison& comparison) {
    std::vector<std::string> problems;
    for (const RelayResults& relay : comparison.relays) {
        for (const std::string& error : relay.latencyErrors) problems.push_back(relay.name + " latency " + error);
        for (std::size_t round = 0; round < relay.throughputRounds.size(); ++round) {
            const std::string& error = relay.throughputRounds[round].error;
            if (!error.empty()) {
                problems.push_back(str(boost::format("%1% throughput round %2%: %3%") % relay.name % (round + 1) % error));
            }
        }
        if (!relay.idle.error.empty()) problems.push_back(relay.name + " idle: " + relay.idle.error);
        if (!relay.soak.error.empty()) problems.push_back(relay.name + " soak: " + relay.soak.error);
    }
    return problems;
}

Comparison runComparison(const std::vector<const Relay*>& relays, const Options& options) {
    Comparison comparison;
    comparison.machine = describeMachine();
    comparison.options = options;
    comparison.startedAt = timeNow();
    comparison.loadAtStart = loadAverage();
    comparison.relays.resize(relays.size());
    std::vector<RelayResults>& results = comparison.relays;

    for (int round = 0; round < options.rounds; ++round) {
        for (const std::size_t i : roundOrder(relays.size(), round)) {
            progress(boost::format("latency round %1%/%2%: %3%, %4% frames each way") % (round + 1) % options.rounds %
                     relays[i]->name() % options.latencyFrames);
            const LatencyRound taken = measureLatencyRound(*relays[i], options.latencyFrames, options.warmUpFrames);
            append(results[i].boardToProgram, taken.boardToProgram);
            append(results[i].programToBoard, taken.programToBoard);
            results[i].boardToProgramMedians.push_back(spreadOf(taken.boardToProgram).p50);
            results[i].programToBoardMedians.push_back(spreadOf(taken.programToBoard).p50);
            if (!taken.error.empty()) {
                results[i].latencyErrors.push_back(str(boost::format("round %1%: %2%") % (round + 1) % taken.error));
            }
        }
    }
    for (int round = 0; round < options.rounds; ++round) {
        for (const std::size_t i : roundOrder(relays.size(), round)) {
            progress(boost::format("throughput round %1%/%2%: %3%, %4% frames") % (round + 1) % options.rounds %
                     relays[i]->name() % options.throughputFrames);
            results[i].throughputRounds.push_back(streamFieldUpdates(*relays[i], options.throughputFrames, 0));
        }
    }

    progress(boost::format("idle CPU: every relay at once, %1% s") % options.idleSeconds);
    const std::vector<IdleCpu> idle = measureIdleCpu(relays, options.idleSeconds);

    const long checkpointEvery = std::max(1L, options.soakFrames / options.soakCheckpoints);
    for (std::size_t i = 0; i < relays.size(); ++i) {
        progress(boost::format("soak: %1%, %2% frames") % relays[i]->name() % options.soakFrames);
        results[i].soak = streamFieldUpdates(*relays[i], options.soakFrames, checkpointEvery);
    }

    comparison.loadAtEnd = loadAverage();
    for (std::size_t i = 0; i < relays.size(); ++i) {
        results[i].name = relays[i]->name();
        results[i].commandLine = relays[i]->commandLine();
        results[i].version = relays[i]->version();
        results[i].idle = idle[i];
    }
    return comparison;
}

}  // namespace relay_compare
