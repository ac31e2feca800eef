#include "request_notes.h"

#include <algorithm>
#include <cstring>

namespace boardsim {

bool RequestNotes::shows(const char* kind, Time now) {
    takeDue(now);
    if (now >= secondEnds) {
        secondEnds = now + std::chrono::seconds(1);
        shown = 0;
    }
    if (shown < shownEachSecond) {
        ++shown;
        return true;
    }
    const auto same = [kind](const auto& held) { return std::strcmp(held.first, kind) == 0; };
    const auto found = std::find_if(heldBack.begin(), heldBack.end(), same);
    if (found == heldBack.end()) {
        heldBack.emplace_back(kind, 1);
    } else {
        ++found->second;
    }
    return false;
}

void RequestNotes::takeDue(Time now) {
    if (heldBack.empty() || now < secondEnds) return;
    std::size_t total = 0;
    std::string kinds;
    for (const auto& [kind, count] : heldBack) {
        total += count;
        kinds += (kinds.empty() ? "" : ", ") + std::string(kind) + ' ' + std::to_string(count);
    }
    console << "host: " << total << " more requests in the last second, not shown one by one (" << kinds << ")\n";
    heldBack.clear();
}

std::optional<Time> RequestNotes::nextDue() const {
    if (heldBack.empty()) return std::nullopt;
    return secondEnds;
}

}  // namespace boardsim
