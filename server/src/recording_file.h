#ifndef DAMRELAY_RECORDING_FILE_H
#define DAMRELAY_RECORDING_FILE_H

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "textio/bounded_writer.h"

// Opens and writes a recording on a thread of its own, so that neither the
// start of the relay nor the board's thread, which hands over every frame,
// ever waits for a file: a FIFO nobody reads blocks only that thread's open,
// and a stalled disk only its writes. Each line is flushed as soon as it is
// written; while the file does not keep up the lines wait up to a bound, and
// those beyond it are counted and noted in the file once it takes lines
// again. When opening or writing fails, the console says so once and the
// recording ends; the relay goes on.
class RecordingFile {
public:
    static constexpr std::size_t defaultWaitingLimit = 4 * 1024 * 1024;
    // How long the end of the relay waits for the last lines.
    static constexpr std::chrono::milliseconds finishPatience = textio::BoundedWriter::finishPatience;

    // Opens the output, on the writer's thread; empty, with why, when it
    // cannot.
    using Opener = std::function<std::unique_ptr<std::ostream>(std::string& why)>;
    // The file at path, created, or emptied when it exists.
    static Opener fileAt(std::string path);

    // The output is opened when the first lines are written. name: how the
    // console calls the recording.
    RecordingFile(Opener open, std::string name, std::size_t waitingLimit = defaultWaitingLimit);
    // Gives the file finishPatience to take what waits, then leaves it to
    // itself; the console says when lines were left behind.
    ~RecordingFile();
    RecordingFile(const RecordingFile&) = delete;
    RecordingFile& operator=(const RecordingFile&) = delete;

    // Never waits for the file.
    void add(std::string lines) { writer.add(std::move(lines)); }
    // Waits until the file has opened and taken everything handed over, at
    // most patience. False when it did not in time, or failed.
    bool flush(std::chrono::milliseconds patience) { return writer.flush(patience); }
    // Opening or writing failed; the console was told why.
    bool failed() const { return writer.failed(); }

private:
    const std::string name;
    textio::BoundedWriter writer;
};

#endif
