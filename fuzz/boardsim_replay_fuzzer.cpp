// Any text as a recording (boardsim --replay): checked whole, it is played
// or refused naming its line. A recording played sends every frame it
// holds, as written, once a host has opened the port.
#include <cstddef>
#include <cstdint>
#include <string>

#include "boardsim_run.h"
#include "replay.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string error;
    const std::optional<std::size_t> frames = boardsim::countFrames(text, error);
    require(frames.has_value() == error.empty(), "a recording is taken, or refused with a reason");
    if (!frames) {
        require(error.rfind("line ", 0) == 0 && error.size() < 300, "a refusal names its line and quotes little");
        return 0;
    }
    std::size_t bytes = 0;
    boardsim::RecordingReader reader(text);
    while (const std::optional<boardsim::RecordedFrame> frame = reader.next()) bytes += frame->bytes.size();

    fuzzing::BoardRun board;
    board.program.replay(boardsim::Replay(text));
    board.program.hostOpened(board.now);
    board.program.fromHost({0x42, 0x40}, board.now);  // answered by no one
    // Recorded times reach 31 years: jump to each frame as it falls due.
    for (int step = 0; step < 100000 && board.program.nextDue(); ++step)
        board.run(std::chrono::hours(24 * 365 * 40), 1);
    require(board.host.size() == bytes, "a replay sends the recording's bytes, and only them");
    return 0;
}
