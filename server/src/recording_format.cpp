#include "recording_format.h"

#include <algorithm>
#include <boost/format.hpp>

#include "log_text.h"

namespace recording {

namespace {

using krvEBLowLevel::Message;

constexpr int errorType = 127;
constexpr int storedMovesType = 15;
// The longest part of a board's line a recording shows in its comment.
constexpr std::size_t longestComment = 80;

// How many leading frame bytes each message keeps (getRawData), by message
// type; a type not listed keeps none.
int keptBytes(int type, int size) {
    switch (type) {
        case 6:  // board dumps of every key
            return std::min(size, 200);
        case 14:  // field update
        case 16:  // bus address
        case 19:  // version
            return std::min(size, 5);
        case 13:  // clock
            return std::min(size, 10);
        case 17:  // serial number
            return std::min(size, 12);
        case 18:  // trademark
            return std::min(size, 1032);
        case 32:  // battery
            return std::min(size, 7);
        case 33:  // long serial number
            return std::min(size, 13);
        default:
            return 0;
    }
}

std::string timed(long long milliseconds, const std::string& rest) {
    return str(boost::format("%1% %2%\n") % milliseconds % rest);
}

}  // namespace

Bytes frameOf(Message& message, int& notKept) {
    const int size = std::clamp(message.size, 3, krvEBLowLevel::frameCapacity);
    // Room for the largest copy any message makes of itself.
    std::vector<short> kept(16000 + 16, 0);
    message.getRawData(kept.data());
    Bytes frame(static_cast<std::size_t>(size), 0);
    int count = 0;
    if (message.id == storedMovesType) {
        // This message keeps its payload only; its header is known.
        frame[0] = 0x80 | storedMovesType;
        frame[1] = static_cast<unsigned char>((message.size >> 7) & 0x7F);
        frame[2] = static_cast<unsigned char>(message.size & 0x7F);
        count = size;
        for (int i = 3; i < size; ++i) frame[static_cast<std::size_t>(i)] = static_cast<unsigned char>(kept[i - 3]);
    } else {
        count = std::max(keptBytes(message.id, message.size), 0);
        for (int i = 0; i < count; ++i) frame[static_cast<std::size_t>(i)] = static_cast<unsigned char>(kept[i]);
        // Kept values lose the top bit, which every id byte has; the id
        // byte also tells board dumps of keys 6, 20 and 21 apart.
        frame[0] = static_cast<unsigned char>(count > 0 ? 0x80 | frame[0] : 0x80 | message.id);
        if (count < 3) {
            frame[1] = static_cast<unsigned char>((message.size >> 7) & 0x7F);
            frame[2] = static_cast<unsigned char>(message.size & 0x7F);
            count = 3;
        }
    }
    notKept = size - std::min(count, size);
    return frame;
}

std::string boardLine(long long milliseconds, Message& message) {
    std::string text;
    message.getText(text);
    if (message.id == errorType) return timed(milliseconds, "error " + escapedForLog(text));
    int notKept = 0;
    const Bytes frame = frameOf(message, notKept);
    std::string line = "board";
    for (unsigned char byte : frame) line += str(boost::format(" %02X") % unsigned{byte});
    std::string comment = escapedForLog(text.substr(0, longestComment));
    if (text.size() > longestComment) comment += "...";
    if (notKept > 0) comment += str(boost::format(" (the last %1% bytes not kept, written as 00)") % notKept);
    return timed(milliseconds, line + "  # " + comment);
}

std::string programLine(long long milliseconds, const std::string& line) {
    return timed(milliseconds, "program " + programTextForLog(line));
}

std::string openLine(long long milliseconds, const std::string& device) {
    return timed(milliseconds, "open " + escapedForLog(device));
}

std::string closeLine(long long milliseconds) { return timed(milliseconds, "close"); }

std::string headerLines(const std::string& begun) {
    return "# damrelay recording, begun " + begun +
           "\n"
           "# milliseconds since then, then: open DEVICE, close, board FRAME (hexadecimal),\n"
           "# program LINE, error TEXT. boardsim --replay plays the board's part again.\n";
}

}  // namespace recording
