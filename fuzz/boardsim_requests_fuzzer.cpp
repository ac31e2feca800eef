// Any bytes a host may send boardsim, in any pieces and at any pace: every
// request is answered with whole frames or ignored, a host that asks faster
// than the line answers loses whole answers, and the console sums up a
// flood in a few lines a second.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "boardsim_run.h"

namespace {

// The host's reading of the line: frames of the size their header gives,
// the id byte alone having the top bit.
void requireWholeFrames(const boardsim::Bytes& bytes) {
    for (std::size_t at = 0; at < bytes.size();) {
        require((bytes[at] & 0x80) != 0, "every frame starts with its id byte");
        require(at + 3 <= bytes.size(), "no frame is torn");
        const std::size_t length = (static_cast<std::size_t>(bytes[at + 1]) << 7) | bytes[at + 2];
        require(length >= 3 && at + length <= bytes.size(), "no frame is torn");
        for (std::size_t i = at + 1; i < at + length; ++i) require((bytes[i] & 0x80) == 0, "no id byte within a frame");
        at += length;
    }
}

std::size_t linesOf(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    fuzzing::BoardRun board;
    const boardsim::Time start = board.now;
    const std::size_t linesAtStart = linesOf(board.console.str());
    while (input.remaining_bytes() > 0) {
        const auto gap = std::chrono::milliseconds(input.ConsumeIntegralInRange(0, 300));
        const std::string piece = input.ConsumeRandomLengthString(64);
        board.program.fromHost(boardsim::Bytes(piece.begin(), piece.end()), board.now);
        board.run(gap);
    }
    board.run(std::chrono::seconds(10));
    requireWholeFrames(board.host);
    requireConsoleText(board.console.str());
    // Each second: five notes, the sum of the rest, the answers dropped, and
    // the host switching updates on and off.
    const auto seconds =
        static_cast<std::size_t>(std::chrono::duration_cast<std::chrono::seconds>(board.now - start).count());
    require(linesOf(board.console.str()) - linesAtStart <= 12 * (seconds + 1),
            "a flooding host makes few console lines");
    return 0;
}
