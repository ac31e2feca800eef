#include "serial_message.h"

#include <algorithm>
#include <cstring>

namespace krvEBLowLevel {

namespace {

constexpr std::string::size_type errorTextLimit = 255;

}  // namespace

krvSerialMessage::krvSerialMessage(const unsigned char* sizeBytes, unsigned char id, const unsigned char* payload)
    : id(id), size(((sizeBytes[0] & 0x7F) << 7) | (sizeBytes[1] & 0x7F)), frame{} {
    frame[0] = id;
    frame[1] = sizeBytes[0];
    frame[2] = sizeBytes[1];
    const int payloadLength = std::clamp(size, 3, frameCapacity) - 3;
    if (payloadLength > 0) std::memcpy(frame + 3, payload, static_cast<std::size_t>(payloadLength));
}

std::shared_ptr<krvSerialMessage> makeErrorFrame(const std::string& text) {
    const std::string kept = text.substr(0, errorTextLimit);
    const int size = static_cast<int>(kept.size()) + 3;
    const unsigned char sizeBytes[2] = {static_cast<unsigned char>(size >> 7), static_cast<unsigned char>(size & 0x7F)};
    return std::make_shared<krvSerialMessage>(sizeBytes, errorFrameId,
                                              reinterpret_cast<const unsigned char*>(kept.data()));
}

}  // namespace krvEBLowLevel
