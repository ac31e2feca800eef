#include "options.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <map>
#include <type_traits>

namespace relay_compare {

namespace {

template <typename Number>
bool readPositive(const std::string& text, Number& into) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(value > 0)) return false;
    if (std::is_integral_v<Number> && value != std::floor(value)) return false;
    into = static_cast<Number>(value);
    return true;
}

}  // namespace

std::string usageText() {
    return "usage: relay_compare [--quick] [--rounds N] [--latency-frames N] [--throughput-frames N]\n"
           "                     [--soak-frames N] [--idle-seconds S]\n"
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
    using Setter = std::function<bool(const std::string&)>;
    const auto text = [](std::string& into) { return [&into](const std::string& value) { return into = value, true; }; };
    const std::map<std::string, Setter> setters = {
        {"--rounds", [&](const std::string& value) { return readPositive(value, options.rounds) && options.rounds <= 100; }},
        {"--latency-frames", [&](const std::string& value) { return readPositive(value, options.latencyFrames); }},
        {"--throughput-frames", [&](const std::string& value) { return readPositive(value, options.throughputFrames); }},
        {"--soak-frames", [&](const std::string& value) { return readPositive(value, options.soakFrames); }},
        {"--idle-seconds", [&](const std::string& value) { return readPositive(value, options.idleSeconds); }},
        {"--damrelay", text(options.damrelayBinary)},
        {"--socat", text(options.socatBinary)},
    };
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == "--quick") continue;
        const auto setter = setters.find(arguments[i]);
        if (setter == setters.end() || i + 1 == arguments.size()) {
            error = (setter == setters.end() ? "unknown option: " : "missing value: ") + arguments[i];
            return std::nullopt;
        }
        const std::string& value = arguments[++i];
        if (!setter->second(value)) {
            error = arguments[i - 1] + " needs a positive number, not '" + value + "'";
            return std::nullopt;
        }
    }
    return options;
}

}  // namespace relay_compare
