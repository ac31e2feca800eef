#include "textio/console_text.h"

#include <cstdio>

#include "textio/utf8.h"

namespace textio {

namespace {

bool isC0OrDelete(unsigned char byte) { return byte < 0x20 || byte == 0x7F; }

void appendEscaped(std::string& out, unsigned char byte) {
    char escaped[5];
    std::snprintf(escaped, sizeof escaped, "\\x%02X", unsigned{byte});
    out += escaped;
}

}  // namespace

std::string escapedForConsole(std::string_view text) {
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
            out += text.substr(i, length);
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

}  // namespace textio
