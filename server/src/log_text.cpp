#include "log_text.h"

#include <boost/format.hpp>

namespace {

bool isC0OrDelete(unsigned char byte) { return byte < 0x20 || byte == 0x7F; }

void appendEscaped(std::string& out, unsigned char byte) { out += str(boost::format("\\x%02X") % unsigned{byte}); }

// The length (2 to 4) of the well-formed UTF-8 sequence that starts at
// text[at], or 0 when none starts there.
std::size_t utf8SequenceAt(const std::string& text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return at + i < text.size() ? static_cast<unsigned char>(text[at + i]) : 0; };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // overlong
        if (lead == 0xED) high = 0x9F;  // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;   // overlong
        if (lead == 0xF4) high = 0x8F;  // beyond U+10FFFF
    } else {
        return 0;
    }
    if (byte(1) < low || byte(1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
    }
    return length;
}

}  // namespace

std::string escapedForLog(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (isC0OrDelete(byte)) {
            appendEscaped(out, byte);
            continue;
        }
        if (byte < 0x80) {
            out += static_cast<char>(byte);
            continue;
        }
        const std::size_t length = utf8SequenceAt(text, i);
        const auto second = static_cast<unsigned char>(length > 0 ? text[i + 1] : 0);
        if (length == 2 && byte == 0xC2 && second <= 0x9F) {
            // U+0080 to U+009F: a terminal that decodes UTF-8 may take them as
            // control codes (U+009B starts an escape sequence).
            appendEscaped(out, byte);
            appendEscaped(out, second);
            ++i;
        } else if (length > 0) {
            out.append(text, i, length);
            i += length - 1;
        } else if (byte <= 0x9F) {
            // A C1 control code to a terminal that takes 8-bit codes.
            appendEscaped(out, byte);
        } else {
            // Latin-1 text, or UTF-8 that is not well-formed: a terminal shows
            // it as a character or as a replacement, never as a control.
            out += static_cast<char>(byte);
        }
    }
    return out;
}

std::string programTextForLog(const std::string& text) {
    if (text.size() <= maxLoggedLength) return escapedForLog(text);
    return str(boost::format("%1%... (%2% bytes)") % escapedForLog(text.substr(0, maxLoggedLength)) % text.size());
}
