// Clock messages: MsgBWTime, a clock reading or an acknowledgement.

#include <algorithm>
#include <boost/format.hpp>

#include "boardio/messages.h"
#include "message_codec.h"

namespace krvEBLowLevel {

namespace {

constexpr int clockRawCount = 10;
constexpr int ackMarker = 10;

// Packed decimal: tens digit in the high nibble, units in the low one.
int packedDecimal(unsigned char byte) { return (byte >> 4) * 10 + (byte & 0x0F); }

}  // namespace

MsgBWTime::MsgBWTime(const unsigned char* frame)
    : Message(13, codec::decodeSize(frame)),
      side1Hours(0),
      side1Minutes(0),
      side1Seconds(0),
      side2Hours(0),
      side2Minutes(0),
      side2Seconds(0),
      timesUnavailable(false),
      isAck(false),
      ack{},
      raw{} {
    if ((frame[3] & 0x0F) == ackMarker || (frame[6] & 0x0F) == ackMarker) {
        isAck = true;
        ack[0] = ((frame[6] & 16) << 3) | (frame[4] & 127);
        ack[1] = ((frame[6] & 32) << 2) | (frame[5] & 127);
        ack[2] = ((frame[3] & 16) << 3) | (frame[7] & 127);
        ack[3] = ((frame[3] & 32) << 2) | (frame[8] & 127);
    } else {
        side1Hours = frame[3] & 15;
        side1Minutes = packedDecimal(frame[4]);
        side1Seconds = packedDecimal(frame[5]);
        side2Hours = frame[6] & 15;
        side2Minutes = packedDecimal(frame[7]);
        side2Seconds = packedDecimal(frame[8]);
        timesUnavailable = (frame[9] & 0x20) != 0;
    }
    codec::storeRaw(frame, raw, clockRawCount);
}

std::string MsgBWTime::describeAck() {
    if (ack[0] == 16 && ack[2] == 0) {
        switch (ack[1]) {
            case 129:
                return "GENERATED ACK (ready)";
            case 136:
                return "GENERATED ACK (mode, start/stop pressed)";
            case 138:
                return "GENERATED ACK (mode)";
            default:
                return std::string();
        }
    }
    if (ack[0] == 0 || ack[2] == 0) return std::string();
    if (ack[1] == 9) return (boost::format("Clock Version: ZT %1$02d.%2$02d") % (ack[2] / 16) % (ack[2] % 16)).str();
    if (ack[0] == 16 && ack[1] == 10) return "SETNRUN (Clock Mode = 23)";
    return (boost::format("ACK ERROR %1$02d") % ack[0]).str();
}

void MsgBWTime::getText(std::string& out) {
    if (timesUnavailable) {
        out = "--:--:-- - --:--:--";
    } else if (isAck) {
        out = (boost::format("ACK: %1%") % describeAck()).str();
    } else {
        out = (boost::format("%1$02d:%2$02d:%3$02d - %4$02d:%5$02d:%6$02d") % side1Hours % side1Minutes % side1Seconds %
               side2Hours % side2Minutes % side2Seconds)
                  .str();
    }
}

void MsgBWTime::getHexDump(std::string& out) {
    codec::appendHexDump(out, raw, clockRawCount, codec::LineFeeds::BeforeEveryEighth);
}

void MsgBWTime::getRawData(short* out) { std::copy(raw, raw + clockRawCount, out); }

Message* MsgBWTime::clone() { return new MsgBWTime(*this); }

int MsgBWTime::getSize() { return size; }

}  // namespace krvEBLowLevel
