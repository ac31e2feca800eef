// boardsim: a draughts board with its clock on a pseudo-terminal.

#include <boost/format.hpp>
#include <cstdio>
#include <iostream>
#include <system_error>

#include "board_loop.h"
#include "board_program.h"
#include "board_setup.h"
#include "options.h"

namespace {

using namespace boardsim;

constexpr int usageError = 2;

}  // namespace

int main(int argc, char** argv) {
    // Lines reach a log or a pipe as they are written.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    std::string error;
    const std::optional<Options> options = parseOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::cerr << boost::format("boardsim: %1%\n%2%") % error % usageText();
        return usageError;
    }
    if (options->help) {
        std::cout << usageText();
        return 0;
    }
    const auto refuse = [&error] {
        std::cerr << boost::format("boardsim: %1%\n") % error;
        return usageError;
    };
    std::optional<BoardSetup> setup = setUpBoard(*options, error);
    if (!setup) return refuse();
    const Time now = std::chrono::steady_clock::now();
    BoardProgram program(std::cout, setup->settings, now);
    if (!setup->game.empty() || !setup->script.empty()) program.holdUntilUpdatesOn();
    program.play(setup->game, now);
    if (!runScript(program, options->scriptFile, setup->script, now, error)) return refuse();
    if (setup->recording) program.replay(std::move(*setup->recording));
    try {
        virtualboard::VirtualBoard device(options->link);
        std::cout << boost::format("board on %1%\n") % device.devicePath();
        if (!options->link.empty()) std::cout << boost::format("link %1% -> %2%\n") % options->link % device.devicePath();
        runBoard(device, program, std::cout);
    } catch (const std::system_error& failure) {
        std::cerr << boost::format("boardsim: %1%\n") % failure.what();
        return 1;
    }
    return 0;
}
