#ifndef RELAY_COMPARE_COMPARISON_H
#define RELAY_COMPARE_COMPARISON_H

#include <string>
#include <vector>

#include "measurements.h"
#include "options.h"

namespace relay_compare {

struct Spread {
    double p50 = 0;
    double p99 = 0;
    double max = 0;
    std::size_t samples = 0;
};

// Nearest-rank percentiles: values that were measured, never one between
// two samples.
Spread spreadOf(std::vector<double> samples);

// Everything measured of one relay.
struct RelayResults {
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

    // Every throughput round as one stream.
    StreamResult pooledThroughput() const;
};

struct Comparison {
    Machine machine;
    Options options;
    std::string startedAt;
    std::string loadAtStart;
    std::string loadAtEnd;
    // damrelay first, then socat.
    std::vector<RelayResults> relays;
};

// Every run that failed or lost a frame, one line each; empty when every
// frame of every run arrived in order.
std::vector<std::string> problemsOf(const Comparison& comparison);

// Runs every measurement on every relay, in rounds that take the relays in
// turn; says what it is doing on standard error as it goes.
Comparison runComparison(const std::vector<const Relay*>& relays, const Options& options);

}  // namespace relay_compare

#endif
