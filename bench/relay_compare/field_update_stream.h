#ifndef RELAY_COMPARE_FIELD_UPDATE_STREAM_H
#define RELAY_COMPARE_FIELD_UPDATE_STREAM_H

#include <string>
#include <vector>

#include "relay_subject.h"

namespace relay_compare {

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
    // VmHWM once the last frame arrived.
    long peakKiB = -1;
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
StreamResult streamFieldUpdates(const RelaySubject& subject, long frames, long checkpointEvery);

}  // namespace relay_compare

#endif
