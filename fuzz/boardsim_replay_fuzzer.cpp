// Any text as a recording (boardsim --replay): checked whole, it is played
// or refused naming its line. A recording played sends every byte of its
// board lines, as written, once a host has opened the port, but those it
// holds while the cable is out.
#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "boardsim_run.h"
#include "replay.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string error;
    const std::optional<std::size_t> lines = boardsim::countBoardLines(text, error);
    require(lines.has_value() == error.empty(), "a recording is taken, or refused with a reason");
    if (!lines) {
        require(error.rfind("line ", 0) == 0 && error.size() < 300, "a refusal names its line and quotes little");
        return 0;
    }
    std::size_t bytes = 0;
    bool cableIn = true;
    boardsim::RecordingReader reader(text);
    while (const std::optional<boardsim::ReplayStep> step = reader.next()) {
        if (step->kind == boardsim::ReplayStep::Kind::pull) cableIn = false;
        if (step->kind == boardsim::ReplayStep::Kind::plug) cableIn = true;
        if (step->kind == boardsim::ReplayStep::Kind::bytes && cableIn) bytes += step->bytes.size();
    }

    fuzzing::BoardRun board;
    board.program.replay(boardsim::Replay(text));
    board.program.fromHost({0x42, 0x40}, board.now);  // answered by no one
    // Recorded times reach 31 years: jump to each step as it falls due, and
    // no further, or the clock would run past what it can count. The
    // host opens the port at once, again whenever the replay waits for it to
    // (the recording's port was opened again), and after each plug (the run
    // does that), never more often: an open it made early would count for
    // the recording's next one.
    board.program.hostOpened(board.now);
    std::size_t opensLeft = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
    for (int step = 0; step < 100000; ++step) {
        while (!board.pulled && !board.program.nextDue() && opensLeft-- > 0) board.program.hostOpened(board.now);
        const std::optional<boardsim::Time> due = board.program.nextDue();
        if (!due) break;
        board.run(std::chrono::ceil<std::chrono::milliseconds>(std::max(*due, board.now) - board.now), 1);
    }
    require(board.host.size() == bytes, "a replay sends the recording's bytes while the cable is in, and only them");
    return 0;
}
