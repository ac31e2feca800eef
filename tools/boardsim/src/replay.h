#ifndef BOARDSIM_REPLAY_H
#define BOARDSIM_REPLAY_H

// A session damrelay recorded (damrelay --record), played again: the frames
// the board sent, each at the time it arrived then.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "board_frames.h"
#include "game_clock.h"

namespace boardsim {

struct RecordedFrame {
    // When its last byte arrived, counted from the moment the relay opened
    // the board's port for the frames that followed.
    std::chrono::milliseconds at;
    Bytes bytes;  // as written, a frame or not
};

// The board lines of a recording; empty, with error naming the line, when a
// line is not one a recording has.
std::optional<std::vector<RecordedFrame>> readRecording(const std::string& text, std::string& error);

class Replay {
public:
    explicit Replay(std::vector<RecordedFrame> frames) : frames(std::move(frames)) {}

    // The host opened the board's port: the recording's time begins.
    void start(Time now);
    bool started() const { return begun.has_value(); }
    bool finished() const { return next == frames.size(); }
    // The frames whose time to go on the line has come: early enough for
    // their last byte to arrive, at 9600 baud, when it arrived then.
    std::vector<Bytes> takeDue(Time now);
    std::optional<Time> nextDue() const;
    std::size_t size() const { return frames.size(); }

private:
    Time sendTime(const RecordedFrame& frame) const;

    std::vector<RecordedFrame> frames;
    std::size_t next = 0;
    std::optional<Time> begun;
};

}  // namespace boardsim

#endif
