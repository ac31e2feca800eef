#include "port_names.h"

#include <boost/format.hpp>
#include <cctype>

namespace {

// The number n of COM<n> (n >= 1, nothing after the digits), with the
// letters in one of the forms given.
std::optional<long> comNumberOf(const std::string& text, bool anyCase) {
    std::string prefix = text.substr(0, 3);
    if (anyCase) {
        for (char& c : prefix) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    if (prefix != "COM" && prefix != "com" && prefix != "Com") return std::nullopt;
    const std::string digits = text.substr(3);
    // Nine digits keep the number within range; no serial port has more.
    if (digits.empty() || digits.size() > 9) return std::nullopt;
    for (char c : digits) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
    }
    const long number = std::stol(digits);
    if (number < 1) return std::nullopt;
    return number;
}

std::string systemDeviceOf(long number) {
#if defined(_WIN32)
    // The device namespace: Windows opens COM10 and above only by this
    // name, and COM1 to COM9 by it too.
    return str(boost::format("\\\\.\\COM%1%") % number);
#else
    return str(boost::format("/dev/ttyS%1%") % (number - 1));
#endif
}

}  // namespace

bool PortNames::addRule(const std::string& rule) {
    const std::string::size_type equals = rule.find('=');
    if (equals == std::string::npos || equals + 1 == rule.size()) return false;
    // Only a name a program can ask for: any other would be taken and never
    // used.
    const std::optional<long> number = comNumberOf(rule.substr(0, equals), true);
    if (!number) return false;
    rules[*number] = rule.substr(equals + 1);
    return true;
}

std::optional<std::string> PortNames::resolve(const std::string& portText) const {
    const std::optional<long> number = comNumberOf(portText, false);
    if (!number) return std::nullopt;
    const auto rule = rules.find(*number);
    if (rule != rules.end()) return rule->second;
    return systemDeviceOf(*number);
}

bool namesTcpBoard(const std::string& device) {
    std::string prefix = device.substr(0, 4);
    for (char& c : prefix) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return prefix == "tcp:";
}
