#ifndef RELAY_COMPARE_COMPARISON_H
#define RELAY_COMPARE_COMPARISON_H

#include <string>
#include <vector>

#include "field_update_stream.h"
#include "idle_cpu.h"
#include "machine.h"
#include "options.h"
#include "relay_subject.h"

namespace relay_compare {

// Everything measured of one relay.
struct SubjectResults {
    std::string name;
    std::string commandLine;
    std::string version;
    // Microseconds, every round pooled, and each round's median.
    std::vector<double> boardToProgram;
    std::vector<double> programToBoard;
    std::vector<double> boardToProgramMedians;
    std::vector<double> programToBoardMedians;
    std::vector<std::string> latencyErrors;
    std::vector<StreamResult> throughputRounds;
    IdleCpu idle;
    StreamResult soak;

    // Frames over seconds, every round pooled.
    double throughput() const;
    // The relay's CPU time over frames, every round pooled.
    double cpuMicrosecondsPerFrame() const;
};

struct Comparison {
    Machine machine;
    Options options;
    std::string startedAt;
    std::string loadAtStart;
    std::string loadAtEnd;
    // damrelay first, then socat.
    std::vector<SubjectResults> subjects;
};

// Every run that failed or lost a frame, one line each; empty when every
// frame of every run arrived in order.
std::vector<std::string> problemsOf(const Comparison& comparison);

// Runs every measurement on every subject, in rounds that take the subjects
// in turn; says what it is doing on standard error as it goes.
Comparison runComparison(const std::vector<const RelaySubject*>& subjects, const Options& options);

}  // namespace relay_compare

#endif
