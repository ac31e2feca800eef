#ifndef DAMRELAY_RECORDING_FILE_H
#define DAMRELAY_RECORDING_FILE_H

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <thread>

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
    // Writes what waits, then ends the writer.
    ~RecordingFile();
    RecordingFile(const RecordingFile&) = delete;
    RecordingFile& operator=(const RecordingFile&) = delete;

    // Never waits for the disk.
    void add(std::string lines);

private:
    void writeAll();
    // Takes the count of lines lost; called with the lock held.
    std::string lostNote();

    std::unique_ptr<std::ostream> out;
    const std::string name;
    const std::size_t waitingLimit;

    std::mutex lock;
    std::condition_variable wake;
    std::deque<std::string> waiting;
    std::size_t waitingBytes = 0;
    std::size_t lost = 0;
    bool failed = false;
    bool ending = false;
    std::thread writer;
};

#endif
