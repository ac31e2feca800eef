#include "options.h"

#include <algorithm>
#include <boost/format.hpp>
#include <cstdlib>

namespace relay_compare {

namespace {

bool readCount(const std::string& text, long& count) {
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || value < 1) return false;
    count = value;
    return true;
}

bool readSeconds(const std::string& text, double& seconds) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(value > 0)) return false;
    seconds = value;
    return true;
}

}  // namespace

std::string usageText() {
    return "usage: relay_compare [--quick] [--rounds N] [--latency-frames N] [--throughput-frames N]\n"
           "                     [--soak-frames N] [--idle-seconds S] [--json PATH]\n"
           "                     [--damrelay PATH] [--socat PATH]\n"
           "  --quick   fewer frames and a shorter idle window, to try the bench out\n"
           "            (latency 1000, throughput 20000, soak 100000, idle 2 s)\n"
           "  defaults: 2 rounds, latency 10000, throughput 200000, soak 1000000, idle 10 s\n";
}

std::optional<Options> parseOptions(const std::vector<std::string>& arguments, std::string& error) {
    Options options;
    // --quick sets the base the other options then change, wherever it stands.
    if (std::find(arguments.begin(), arguments.end(), "--quick") != arguments.end()) {
        options.quick = true;
        options.latencyFrames = 1000;
        options.throughputFrames = 20000;
        options.soakFrames = 100000;
        options.idleSeconds = 2;
    }
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        if (name == "--quick") continue;
        if (i + 1 == arguments.size()) {
            error = str(boost::format("unknown option or missing value: %1%") % name);
            return std::nullopt;
        }
        const std::string& value = arguments[++i];
        long count = 0;
        bool ok = true;
        if (name == "--rounds") {
            ok = readCount(value, count) && count <= 100;
            options.rounds = static_cast<int>(count);
        } else if (name == "--latency-frames") {
            ok = readCount(value, options.latencyFrames);
        } else if (name == "--throughput-frames") {
            ok = readCount(value, options.throughputFrames);
        } else if (name == "--soak-frames") {
            ok = readCount(value, options.soakFrames);
        } else if (name == "--idle-seconds") {
            ok = readSeconds(value, options.idleSeconds);
        } else if (name == "--json") {
            options.jsonPath = value;
        } else if (name == "--damrelay") {
            options.damrelayBinary = value;
        } else if (name == "--socat") {
            options.socatBinary = value;
        } else {
            error = str(boost::format("unknown option: %1%") % name);
            return std::nullopt;
        }
        if (!ok) {
            error = str(boost::format("%1% needs a positive number, not '%2%'") % name % value);
            return std::nullopt;
        }
    }
    return options;
}

}  // namespace relay_compare
