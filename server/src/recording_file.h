#ifndef DAMRELAY_RECORDING_FILE_H
#define DAMRELAY_RECORDING_FILE_H

#include <cstddef>
#include <memory>
#include <ostream>
#include <string>

#include "textio/bounded_writer.h"

// Writes a recording's lines on a thread of its own, so that the board's
// thread, which hands over every frame, never waits for a disk: each line is
// flushed as soon as it is written, and while the disk does not keep up the
// lines wait up to a bound and those beyond it are counted and noted in the
// file once it takes lines again. When writing fails, the console says so
// once and the recording ends; the relay goes on.
class RecordingFile {
public:
    static constexpr std::size_t defaultWaitingLimit = 4 * 1024 * 1024;

    // out: the opened file; name: how the console calls it.
    RecordingFile(std::unique_ptr<std::ostream> out, std::string name,
                  std::size_t waitingLimit = defaultWaitingLimit);

    // Never waits for the disk.
    void add(std::string lines) { writer.add(std::move(lines)); }

private:
    // Writes what waits, for a bounded time, when the recording is destroyed.
    textio::BoundedWriter writer;
};

#endif
