#ifndef BOARDSIM_REPLAY_H
#define BOARDSIM_REPLAY_H

// A session damrelay recorded (damrelay --record), played again: the frames
// the board sent, each at the time it arrived then.

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "board_frames.h"
#include "game_clock.h"
#include "text_lines.h"

namespace boardsim {

struct RecordedFrame {
    // When its last byte arrived, counted from the moment the relay opened
    // the board's port for the frames that followed.
    std::chrono::milliseconds at;
    Bytes bytes;  // as written, a frame or not
};

// The board lines of a recording, one at a time, read where they are: a
// long recording waits as its text.
class RecordingReader {
public:
    // The text must outlive the reader.
    explicit RecordingReader(std::string_view text) : lines(text) {}

    // The next board line's frame; empty at the end of the text, and at a
    // line that is not one a recording has, which error() then names.
    std::optional<RecordedFrame> next();
    const std::string& error() const { return fault; }

private:
    std::nullopt_t fail(const std::string& what);

    TextLines lines;
    long long zero = 0;
    long long last = 0;
    bool anyFrame = false;
    std::string fault;
};

// The number of board lines of a recording, every line checked; empty,
// with error naming the line, when a line is not one a recording has.
std::optional<std::size_t> countFrames(std::string_view text, std::string& error);

class Replay {
public:
    // A recording countFrames took.
    explicit Replay(std::string text);

    // The host opened the board's port: the recording's time begins.
    void start(Time now);
    bool started() const { return begun.has_value(); }
    bool finished() const { return !upcoming; }
    // The next frame, once its time to go on the line has come: early
    // enough for its last byte to arrive, at 9600 baud, when it arrived
    // then.
    std::optional<Bytes> takeDue(Time now);
    std::optional<Time> nextDue() const;
    std::size_t size() const { return frames; }

private:
    Time sendTime(const RecordedFrame& frame) const;

    std::unique_ptr<const std::string> text;  // where the reader reads, wherever the replay moves
    RecordingReader reader;
    std::size_t frames = 0;
    std::optional<RecordedFrame> upcoming;
    std::optional<Time> begun;
};

}  // namespace boardsim

#endif
