#include "log_text.h"

#include <boost/format.hpp>

namespace {

bool isC0OrDelete(unsigned char byte) { return byte < 0x20 || byte == 0x7F; }

void appendEscaped(std::string& out, unsigned char byte) { out += str(boost::format("\\x%02X") % unsigned{byte}); }

}  // namespace

std::string escapedForLog(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::string::size_type i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (isC0OrDelete(byte)) {
            appendEscaped(out, byte);
            continue;
        }
        // U+0080 to U+009F: a terminal that decodes UTF-8 may take them as
        // control codes (U+009B starts an escape sequence).
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) {
            appendEscaped(out, byte);
            appendEscaped(out, next);
            ++i;
            continue;
        }
        out += static_cast<char>(byte);
    }
    return out;
}

std::string programTextForLog(const std::string& text) {
    if (text.size() <= maxLoggedLength) return escapedForLog(text);
    return str(boost::format("%1%... (%2% bytes)") % escapedForLog(text.substr(0, maxLoggedLength)) % text.size());
}
