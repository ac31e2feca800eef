#include "port_names.h"

#include <boost/format.hpp>
#include <cctype>

namespace {

bool equalIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::string::size_type i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

// The serial device of COM<n>, or empty when the text is not such a name.
std::string serialDeviceOf(const std::string& portText) {
    const std::string prefix = portText.substr(0, 3);
    if (prefix != "COM" && prefix != "com" && prefix != "Com") return {};
    const std::string digits = portText.substr(3);
    // Nine digits keep the number within range; no serial port has more.
    if (digits.empty() || digits.size() > 9) return {};
    for (char c : digits) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return {};
    }
    const long number = std::stol(digits);
    if (number < 1) return {};
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
    if (equals == std::string::npos || equals == 0 || equals + 1 == rule.size()) return false;
    rules.emplace_back(rule.substr(0, equals), rule.substr(equals + 1));
    return true;
}

std::optional<std::string> PortNames::resolve(const std::string& portText) const {
    for (auto rule = rules.rbegin(); rule != rules.rend(); ++rule) {
        if (equalIgnoringCase(rule->first, portText)) return rule->second;
    }
    std::string device = serialDeviceOf(portText);
    if (device.empty()) return std::nullopt;
    return device;
}
