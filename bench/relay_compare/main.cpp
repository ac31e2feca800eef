// damrelay and socat on the same path, measured in the same run: a pty as
// the board, the relay, a program on loopback TCP. Prints one table. Targets
// are shown, never enforced: the exit code says only whether every run went
// through without losing a frame.
#include <boost/format.hpp>
#include <iostream>

#include "report.h"

using namespace relay_compare;

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (!arguments.empty() && (arguments[0] == "--help" || arguments[0] == "-h")) {
        std::cout << usageText();
        return 0;
    }
    std::string error;
    std::optional<Options> options = parseOptions(arguments, error);
    if (!options) {
        std::cerr << error << '\n' << usageText();
        return 2;
    }
    if (options->damrelayBinary.empty()) options->damrelayBinary = DAMRELAY_BINARY;

    const Relay damrelay(Relay::Kind::Damrelay, options->damrelayBinary);
    const Relay socat(Relay::Kind::Socat, options->socatBinary);
    if (socat.version().empty()) {
        std::cerr << boost::format("%1% -V says nothing: install socat (bash scripts/setup.sh socat)\n") %
                         options->socatBinary;
        return 1;
    }

    const Comparison comparison = runComparison({&damrelay, &socat}, *options);
    printTable(std::cout, comparison);
    return problemsOf(comparison).empty() ? 0 : 1;
}
