// boardsim: a draughts board with its clock on a pseudo-terminal.

#include <boost/format.hpp>
#include <iostream>
#include <system_error>

#include "board_console.h"
#include "board_loop.h"
#include "board_program.h"
#include "board_setup.h"
#include "options.h"
#include "textio/console_text.h"

namespace {

using namespace boardsim;

constexpr int usageError = 2;

// A board that ends does not wait longer for a console nobody reads.
constexpr std::chrono::milliseconds consolePatience{500};

}  // namespace

int main(int argc, char** argv) {
    ignoreConsoleSignals();
    std::string error;
    const std::optional<Options> options = parseOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::cerr << boost::format("boardsim: %1%\n%2%") % textio::escapedForConsole(error) % usageText();
        return usageError;
    }
    if (options->help) {
        std::cout << usageText();
        return 0;
    }
    // Reasons may quote the files' text, which is anyone's.
    const auto refuse = [&error] {
        std::cerr << boost::format("boardsim: %1%\n") % textio::escapedForConsole(error);
        return usageError;
    };
    std::optional<BoardSetup> setup = setUpBoard(*options, error);
    if (!setup) return refuse();
    BoardConsole console;
    const Time now = std::chrono::steady_clock::now();
    BoardProgram program(console.stream(), setup->settings, now);
    if (!setup->game.empty() || !setup->script.empty()) program.holdUntilUpdatesOn();
    program.play(setup->game, now);
    if (!setup->script.empty() && !program.runScript(std::move(setup->script), now, error)) {
        error = options->scriptFile + " " + error;
        console.finish(consolePatience);
        return refuse();
    }
    if (setup->recording) program.replay(Replay(std::move(*setup->recording)));
    int status = 0;
    try {
        catchStopSignals();
        virtualboard::VirtualBoard device(options->link);
        console.stream() << boost::format("board on %1%\n") % device.devicePath();
        if (!options->link.empty()) {
            console.stream() << boost::format("link %1% -> %2%\n") % options->link % device.devicePath();
        }
        runBoard(device, program, console.stream());
    } catch (const std::system_error& failure) {
        std::cerr << boost::format("boardsim: %1%\n") % failure.what();
        status = 1;
    }
    console.finish(consolePatience);
    return status;
}
