#ifndef BOARDSIM_WHOLE_NUMBER_H
#define BOARDSIM_WHOLE_NUMBER_H

#include <optional>
#include <string>

namespace boardsim {

// A whole number from low to high, written in decimal digits alone (no
// sign, no blanks); high below a billion.
inline std::optional<int> wholeNumber(const std::string& text, int low, int high) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) return {};
    const int value = std::stoi(text);
    if (value < low || value > high) return {};
    return value;
}

}  // namespace boardsim

#endif
