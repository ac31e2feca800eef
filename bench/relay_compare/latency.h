#ifndef RELAY_COMPARE_LATENCY_H
#define RELAY_COMPARE_LATENCY_H

#include <string>
#include <vector>

#include "relay_subject.h"

namespace relay_compare {

struct LatencyRound {
    // Microseconds per sample, in the order taken.
    std::vector<double> boardToProgram;
    std::vector<double> programToBoard;
    // Why the round ended early; empty when every sample arrived.
    std::string error;
};

// One run of the relay: a board frame at a time from the board until the
// program has all of its line, then a send-board request at a time from the
// program until its byte reaches the board. Each waits for its arrival
// before the next is sent; the first warmUp of each kind are not kept.
LatencyRound measureLatencyRound(const RelaySubject& subject, long samples, long warmUp);

}  // namespace relay_compare

#endif
