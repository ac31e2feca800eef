#ifndef BOARDSIM_REPLAY_H
#define BOARDSIM_REPLAY_H

// A session damrelay recorded (damrelay --record), played again: the bytes
// the board sent, each at the time it arrived then, and the cable pulled
// where the relay lost the port and plugged in again before it opened it.

#include <chrono>
#include <deque>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>

#include "board_frames.h"
#include "game_clock.h"
#include "paced_line.h"
#include "text_lines.h"

namespace boardsim {

// One thing a replay does, in the recording's order, at a time of the
// recording (milliseconds since it began).
struct ReplayStep {
    enum class Kind {
        hostOpens,  // the host opens the port: what follows is timed from then
        bytes,      // the board sends `bytes`; the last of them arrives at `at`
        pull,       // the cable is pulled out
        plug,       // the cable is plugged in again
    };
    Kind kind;
    std::chrono::milliseconds at;
    Bytes bytes;
};

// The steps of a recording, one at a time, read where they are: a long
// recording waits as its text.
class RecordingReader {
public:
    // The text must outlive the reader.
    explicit RecordingReader(std::string_view text) : lines(text) {}

    // The next step; empty at the end of the text, and at a line that is not
    // one a recording has, which error() then names.
    std::optional<ReplayStep> next();
    const std::string& error() const { return fault; }

private:
    std::optional<ReplayStep> stepOf(const std::string& kind, long long time, std::istringstream& words);
    std::nullopt_t fail(const std::string& what);

    TextLines lines;
    long long last = 0;
    bool opened = false;  // the replay has begun: an open line, or a board line of a file without one
    bool cableIn = true;
    long long downSince = 0;  // the last lost or failed line, while the cable is out
    std::optional<ReplayStep> pending;
    std::string fault;
};

// The number of board lines of a recording, every line checked; empty,
// with error naming the line, when a line is not one a recording has.
std::optional<std::size_t> countBoardLines(std::string_view text, std::string& error);

class Replay {
public:
    // A recording countBoardLines took.
    explicit Replay(std::string text);

    // A host opened the board's port: the recording's next open line is
    // timed from then.
    void hostOpened(Time now);
    bool started() const { return base.has_value(); }
    bool finished() const { return !upcoming; }
    // The next step once its time has come: bytes early enough for the last
    // of them to arrive, at 9600 baud, when it arrived then, or an event of
    // the cable.
    struct Due {
        Bytes bytes;
        std::optional<LinkEvent> event;
    };
    std::optional<Due> takeDue(Time now);
    std::optional<Time> nextDue() const;
    std::size_t size() const { return boardLines; }

private:
    // Opens of the port no open line has taken yet, at most this many: a
    // host that opens and closes without end keeps only its latest.
    static constexpr std::size_t mostOpensWaiting = 64;

    void matchOpen();
    Time dueTime(const ReplayStep& step) const;

    std::unique_ptr<const std::string> text;  // where the reader reads, wherever the replay moves
    RecordingReader reader;
    std::size_t boardLines = 0;
    std::optional<ReplayStep> upcoming;
    std::deque<Time> opens;
    // The host's open the last open line was matched with, and that line's
    // time.
    std::optional<Time> base;
    std::chrono::milliseconds baseAt{0};
};

}  // namespace boardsim

#endif
