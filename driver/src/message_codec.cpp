#include "message_codec.h"

#include <boost/format.hpp>
#include <cstring>

namespace krvEBLowLevel {
namespace codec {

void storeRaw(const unsigned char* frame, short* raw, int count) {
    for (int j = 0; j < count; ++j) raw[j] = stored(frame[j]);
}

void copyText(const unsigned char* frame, int size, char* text, int capacity) {
    int length = 0;
    if (size >= 4) length = std::min(readableSize(size) - 3, capacity);
    if (length > 0) std::memcpy(text, frame + 3, static_cast<std::size_t>(length));
    text[std::max(length, 0)] = '\0';
}

void appendHexValue(std::string& out, short value) { out += (boost::format("%1$02x ") % value).str(); }

void appendHexDump(std::string& out, const short* values, int count, LineFeeds lineFeeds) {
    for (int i = 0; i < count; ++i) {
        const bool eighth = i % 8 == 0;
        if ((lineFeeds == LineFeeds::BeforeEveryEighth && eighth) ||
            (lineFeeds == LineFeeds::BeforeEveryEighthButFirst && eighth && i != 0))
            out += '\n';
        appendHexValue(out, values[i]);
        if ((lineFeeds == LineFeeds::AfterEveryEighth && eighth) ||
            (lineFeeds == LineFeeds::AfterEveryEighthButFirst && eighth && i != 0))
            out += '\n';
    }
}

void appendOffsetHexDump(std::string& out, const short* values, int count) {
    for (int i = 0; i < count; ++i) {
        if (i % 8 == 0) {
            if (i != 0) out += '\n';
            out += (boost::format("%1$04x: ") % i).str();
        }
        appendHexValue(out, values[i]);
    }
}

}  // namespace codec
}  // namespace krvEBLowLevel
