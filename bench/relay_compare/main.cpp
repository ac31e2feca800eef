// damrelay and socat on the same path, measured in the same run: a pty as
// the board, the relay, a program on loopback TCP. Prints one table and
// writes the same figures as JSON. Targets are shown, never enforced: the
// exit code says only whether every run went through without losing a frame.
#include <boost/format.hpp>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "comparison.h"
#include "damrelay_subject.h"
#include "options.h"
#include "report.h"
#include "socat_subject.h"
#include "targets.h"

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
    if (options->jsonPath.empty()) options->jsonPath = DEFAULT_JSON_PATH;

    const DamrelaySubject damrelay(options->damrelayBinary);
    const SocatSubject socat(options->socatBinary);
    if (socat.version().empty()) {
        std::cerr << boost::format("%1% -V says nothing: install socat (bash scripts/setup.sh socat)\n") %
                         options->socatBinary;
        return 1;
    }

    const Comparison comparison = runComparison({&damrelay, &socat}, *options);
    const std::vector<Target> targets = evaluateTargets(comparison);
    printTable(std::cout, comparison, targets);

    std::ofstream json(options->jsonPath);
    writeJson(json, comparison, targets);
    json.close();
    if (!json) {
        std::cerr << boost::format("could not write %1%\n") % options->jsonPath;
        return 1;
    }
    std::cout << boost::format("JSON: %1%\n") % options->jsonPath;
    return problemsOf(comparison).empty() ? 0 : 1;
}
