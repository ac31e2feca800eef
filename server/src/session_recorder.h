#ifndef DAMRELAY_SESSION_RECORDER_H
#define DAMRELAY_SESSION_RECORDER_H

#include <boardio/boardio.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <string>

// Records a session as lines (recording_format.h): everything the board's
// link saw, as the driver's LinkObserver hears it (every byte both ways, the
// port opened, closed, lost, not opened), every line from the program and
// every line sent to it, each with the time it came. Attached to every board
// connection; called from the session's thread and the board's, the lines
// go to `write` in the order of their times.
class SessionRecorder : public krvEBLowLevel::LinkObserver {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    explicit SessionRecorder(std::function<void(std::string)> write, Clock now = std::chrono::steady_clock::now);

    void linkEvent(const krvEBLowLevel::LinkEvent& event) override;
    void fromProgram(const std::string& line);
    void toProgram(const std::string& line);

private:
    // The line made for the time now.
    template <class MakeLine>
    void record(MakeLine line) {
        std::lock_guard<std::mutex> hold(lock);
        const auto since = std::chrono::duration_cast<std::chrono::milliseconds>(now() - begun);
        write(line(since.count()));
    }

    std::function<void(std::string)> write;
    Clock now;
    const std::chrono::steady_clock::time_point begun;
    std::mutex lock;
};

#endif
