#include "comparison.h"

#include <algorithm>
#include <boost/format.hpp>
#include <ctime>
#include <iostream>

#include "latency.h"
#include "statistics.h"

namespace relay_compare {

namespace {

void progress(const std::string& text) { std::cerr << text << std::endl; }

// The subjects in round r: forwards in even rounds, backwards in odd ones,
// so that neither always runs first (damrelay, socat, socat, damrelay, ...).
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

void runLatencyRounds(const std::vector<const RelaySubject*>& subjects, const Options& options,
                      std::vector<SubjectResults>& results) {
    for (int round = 0; round < options.rounds; ++round) {
        for (const std::size_t i : roundOrder(subjects.size(), round)) {
            progress(str(boost::format("latency round %1%/%2%: %3%, %4% frames each way") % (round + 1) %
                         options.rounds % subjects[i]->name() % options.latencyFrames));
            const LatencyRound taken = measureLatencyRound(*subjects[i], options.latencyFrames, options.warmUpFrames);
            SubjectResults& into = results[i];
            into.boardToProgram.insert(into.boardToProgram.end(), taken.boardToProgram.begin(),
                                       taken.boardToProgram.end());
            into.programToBoard.insert(into.programToBoard.end(), taken.programToBoard.begin(),
                                       taken.programToBoard.end());
            into.boardToProgramMedians.push_back(spreadOf(taken.boardToProgram).p50);
            into.programToBoardMedians.push_back(spreadOf(taken.programToBoard).p50);
            if (!taken.error.empty()) {
                into.latencyErrors.push_back(str(boost::format("round %1%: %2%") % (round + 1) % taken.error));
            }
        }
    }
}

void runThroughputRounds(const std::vector<const RelaySubject*>& subjects, const Options& options,
                         std::vector<SubjectResults>& results) {
    for (int round = 0; round < options.rounds; ++round) {
        for (const std::size_t i : roundOrder(subjects.size(), round)) {
            progress(str(boost::format("throughput round %1%/%2%: %3%, %4% frames") % (round + 1) % options.rounds %
                         subjects[i]->name() % options.throughputFrames));
            results[i].throughputRounds.push_back(streamFieldUpdates(*subjects[i], options.throughputFrames, 0));
        }
    }
}

}  // namespace

double SubjectResults::throughput() const {
    double frames = 0, seconds = 0;
    for (const StreamResult& round : throughputRounds) {
        frames += static_cast<double>(round.received);
        seconds += round.seconds;
    }
    return seconds > 0 ? frames / seconds : 0;
}

double SubjectResults::cpuMicrosecondsPerFrame() const {
    double frames = 0, micros = 0;
    for (const StreamResult& round : throughputRounds) {
        frames += static_cast<double>(round.received);
        micros += round.relayCpuMicroseconds;
    }
    return frames > 0 ? micros / frames : 0;
}

std::vector<std::string> problemsOf(const Comparison& comparison) {
    std::vector<std::string> problems;
    for (const SubjectResults& subject : comparison.subjects) {
        for (const std::string& error : subject.latencyErrors) problems.push_back(subject.name + " latency " + error);
        for (std::size_t round = 0; round < subject.throughputRounds.size(); ++round) {
            const std::string& error = subject.throughputRounds[round].error;
            if (!error.empty()) {
                problems.push_back(
                    str(boost::format("%1% throughput round %2%: %3%") % subject.name % (round + 1) % error));
            }
        }
        if (!subject.idle.error.empty()) problems.push_back(subject.name + " idle: " + subject.idle.error);
        if (!subject.soak.error.empty()) problems.push_back(subject.name + " soak: " + subject.soak.error);
    }
    return problems;
}

Comparison runComparison(const std::vector<const RelaySubject*>& subjects, const Options& options) {
    Comparison comparison;
    comparison.machine = describeMachine();
    comparison.options = options;
    comparison.startedAt = timeNow();
    comparison.loadAtStart = loadAverage();
    comparison.subjects.resize(subjects.size());

    runLatencyRounds(subjects, options, comparison.subjects);
    runThroughputRounds(subjects, options, comparison.subjects);

    progress(str(boost::format("idle CPU: every relay at once, %1% s") % options.idleSeconds));
    const std::vector<IdleCpu> idle = measureIdleCpu(subjects, options.idleSeconds);

    const long checkpointEvery = std::max(1L, options.soakFrames / options.soakCheckpoints);
    for (std::size_t i = 0; i < subjects.size(); ++i) {
        progress(str(boost::format("soak: %1%, %2% frames") % subjects[i]->name() % options.soakFrames));
        comparison.subjects[i].soak = streamFieldUpdates(*subjects[i], options.soakFrames, checkpointEvery);
    }

    comparison.loadAtEnd = loadAverage();
    for (std::size_t i = 0; i < subjects.size(); ++i) {
        SubjectResults& results = comparison.subjects[i];
        results.name = subjects[i]->name();
        results.commandLine = subjects[i]->commandLine();
        results.version = subjects[i]->version();
        results.idle = idle[i];
    }
    return comparison;
}

}  // namespace relay_compare
