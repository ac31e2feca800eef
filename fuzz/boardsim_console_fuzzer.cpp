// Any lines typed at boardsim's console, a little time apart: each is done
// or refused with a reason, the board goes on (unless told to quit), and
// the console shows what was typed escaped.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "boardsim_run.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    fuzzing::BoardRun board({boardsim::Position::start(),
                             input.ConsumeBool() ? draughts::Rules::Free : draughts::Rules::International,
                             std::chrono::milliseconds(input.ConsumeIntegralInRange(0, 400))});
    board.program.fromHost({0x43}, board.now);  // updates on, as a host would switch them
    while (input.remaining_bytes() > 0) {
        const std::string line = input.ConsumeRandomLengthString(boardsim::BoardProgram::longestLine);
        if (!board.program.fromConsole(line, board.now)) break;
        if (!board.run(std::chrono::milliseconds(input.ConsumeIntegralInRange(0, 2000)))) break;
    }
    board.run(std::chrono::minutes(10));
    requireConsoleText(board.console.str());
    return 0;
}
