// The driver's own error report: MsgError, made from the text of a link
// failure, or decoded from a frame of type 127.

#include <algorithm>
#include <boost/format.hpp>
#include <cstring>

#include "boardio/messages.h"
#include "message_codec.h"

namespace krvEBLowLevel {

namespace {

constexpr int errorCodeValue = 255;
constexpr int errorTextCapacity = 255;

}  // namespace

MsgError::MsgError(const unsigned char* frame) : Message(127, codec::decodeSize(frame)), errorCode(errorCodeValue) {
    if (size >= 4) {
        // The payload up to its first NUL, its end or the text capacity.
        const unsigned char* text = frame + 3;
        const int available = std::min(codec::readableSize(size) - 3, errorTextCapacity);
        const void* nul = std::memchr(text, '\0', static_cast<std::size_t>(available));
        const int length = nul ? static_cast<int>(static_cast<const unsigned char*>(nul) - text) : available;
        errorText.assign(reinterpret_cast<const char*>(text), static_cast<std::size_t>(length));
    }
}

MsgError::MsgError(const std::string& text)
    : Message(127, 3),
      errorCode(errorCodeValue),
      errorText(text.substr(0, std::min(text.find('\0'), std::string::size_type{errorTextCapacity}))) {
    size += static_cast<int>(errorText.size());
}

void MsgError::getText(std::string& out) { out = (boost::format("ERROR: %1% : %2%") % errorCode % errorText).str(); }

void MsgError::getHexDump(std::string& out) { getText(out); }

void MsgError::getRawData(short* out) { out[0] = static_cast<short>(errorCode); }

Message* MsgError::clone() { return new MsgError(*this); }

int MsgError::getSize() { return size; }

}  // namespace krvEBLowLevel
