// Any text as a script (boardsim --script): every line is checked at once,
// and the script is taken whole or refused naming its line. A script taken
// runs to its end, whatever its lines ask, with a bounded console.
#include <cstddef>
#include <cstdint>
#include <string>

#include "boardsim_run.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzzing::BoardRun board;
    board.program.holdUntilUpdatesOn();
    std::string error;
    const bool taken =
        board.program.runScript(std::string(reinterpret_cast<const char*>(data), size), board.now, error);
    require(taken == error.empty(), "a script is taken, or refused with a reason");
    require(taken || error.rfind("line ", 0) == 0, "a refused script names its line");
    if (!taken) return 0;
    board.program.fromHost({0x43}, board.now);
    board.run(std::chrono::hours(2));
    requireConsoleText(board.console.str());
    return 0;
}
