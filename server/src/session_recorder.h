#ifndef DAMRELAY_SESSION_RECORDER_H
#define DAMRELAY_SESSION_RECORDER_H

#include <boardio/boardio.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <string>

// Records a session as lines (recording_format.h): the board's port opened
// and closed, every frame the board sent and every line the program sent,
// each with the time it came. Called from the session's thread and the
// board's; the lines go to `write` in the order of their times.
class SessionRecorder {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    explicit SessionRecorder(std::function<void(std::string)> write, Clock now = std::chrono::steady_clock::now);

    void boardOpening(const std::string& device);
    void boardClosed();
    void fromBoard(krvEBLowLevel::Message& message);
    void fromProgram(const std::string& line);

private:
    // The line made for the time now.
    void record(const std::function<std::string(long long)>& line);

    std::function<void(std::string)> write;
    Clock now;
    const std::chrono::steady_clock::time_point begun;
    std::mutex lock;
};

#endif
