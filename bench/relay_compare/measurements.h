#ifndef RELAY_COMPARE_MEASUREMENTS_H
#define RELAY_COMPARE_MEASUREMENTS_H

#include <string>
#include <vector>

#include "relays.h"
#include "system_figures.h"

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
LatencyRound measureLatencyRound(const Relay& relay, long samples, long warmUp);

struct MemoryCheckpoint {
    long frames = 0;
    long residentKiB = -1;  // VmRSS
    long peakKiB = -1;      // VmHWM
};

struct StreamResult {
    long frames = 0;     // what the board was to send
    long received = 0;   // frames the program received intact and in order
    double seconds = 0;  // from the first write to the last byte read
    // Why the stream ended early; empty when every frame arrived in order.
    std::string error;
    // The relay's memory before the first frame and after every
    // checkpointEvery frames.
    std::vector<MemoryCheckpoint> checkpoints;
    long peakKiB = -1;  // VmHWM once the last frame arrived
    // CPU time the relay used over the stream, all its threads.
    double relayCpuMicroseconds = 0;

    double framesPerSecond() const { return seconds > 0 ? static_cast<double>(received) / seconds : 0; }
    double cpuMicrosecondsPerFrame() const {
        return received > 0 ? relayCpuMicroseconds / static_cast<double>(received) : 0;
    }
};

// The board writes frames field updates as fast as the relay takes them,
// while the program reads and checks every one against what it should be,
// in order. checkpointEvery 0 takes no checkpoints after the first.
StreamResult streamFieldUpdates(const Relay& relay, long frames, long checkpointEvery);

struct IdleCpu {
    double seconds = 0;
    CpuTime used;  // over those seconds
    long residentKiB = -1;
    std::string error;
};

// Every relay on a board of its own with a program connected, nothing to
// relay: the CPU time each uses over the same window. They idle side by
// side, since an idle relay does not disturb another.
std::vector<IdleCpu> measureIdleCpu(const std::vector<const Relay*>& relays, double seconds);

}  // namespace relay_compare

#endif
