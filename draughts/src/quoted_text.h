#ifndef DRAUGHTS_QUOTED_TEXT_H
#define DRAUGHTS_QUOTED_TEXT_H

#include <string>
#include <string_view>

namespace draughts {

// A text as a reason quotes it: it is anyone's, and may be as long as a
// file, so at most `most` bytes of it, "..." marking the cut.
inline std::string shortened(std::string_view text, std::size_t most = 40) {
    return text.size() > most ? std::string(text.substr(0, most)) + "..." : std::string(text);
}

}  // namespace draughts

#endif
