// Identity and status messages: bus address, serial numbers,
// trademark, version and battery status.

#include <algorithm>
#include <boost/format.hpp>

#include "boardio/messages.h"
#include "message_codec.h"

namespace krvEBLowLevel {

namespace {

constexpr int fixedRawCount = 5;  // MsgBusAddress, MsgVersion
constexpr int serialNumberRawCapacity = 12;
constexpr int serialNumberTextCapacity = 19;
constexpr int longSerialNumberRawCount = 13;
constexpr int longSerialNumberTextCapacity = 29;
constexpr int trademarkRawCapacity = 1032;
constexpr int trademarkTextCapacity = 1033;
constexpr int batteryRawCount = 12;
constexpr int batteryRawCopied = 7;

}  // namespace

// ---- MsgBusAddress --------------------------------------------------------

MsgBusAddress::MsgBusAddress(const unsigned char* frame)
    : Message(16, codec::decodeSize(frame)), address(((frame[3] & 127) << 7) | (frame[4] & 127)), raw{} {
    codec::storeRaw(frame, raw, fixedRawCount);
}

void MsgBusAddress::getText(std::string& out) { out = (boost::format("%1%") % address).str(); }

void MsgBusAddress::getHexDump(std::string& out) {
    codec::appendHexDump(out, raw, fixedRawCount, codec::LineFeeds::None);
}

void MsgBusAddress::getRawData(short* out) { std::copy(raw, raw + fixedRawCount, out); }

Message* MsgBusAddress::clone() { return new MsgBusAddress(*this); }

int MsgBusAddress::getSize() { return size; }

// ---- MsgSerialNumber ------------------------------------------------------

MsgSerialNumber::MsgSerialNumber(const unsigned char* frame)
    : Message(17, codec::decodeSize(frame)), serialNumber{}, raw{} {
    codec::copyText(frame, size, serialNumber, serialNumberTextCapacity);
    codec::storeRaw(frame, raw, codec::keptCount(size, serialNumberRawCapacity));
}

void MsgSerialNumber::getText(std::string& out) { out = (boost::format("%1%") % serialNumber).str(); }

void MsgSerialNumber::getHexDump(std::string& out) {
    codec::appendHexDump(out, raw, codec::keptCount(size, serialNumberRawCapacity),
                         codec::LineFeeds::AfterEveryEighthButFirst);
}

void MsgSerialNumber::getRawData(short* out) {
    std::copy(raw, raw + codec::keptCount(size, serialNumberRawCapacity), out);
}

Message* MsgSerialNumber::clone() { return new MsgSerialNumber(*this); }

int MsgSerialNumber::getSize() { return size; }

// ---- MsgLongSerialNumber --------------------------------------------------

MsgLongSerialNumber::MsgLongSerialNumber(const unsigned char* frame)
    : Message(33, codec::decodeSize(frame)), serialNumber{}, raw{} {
    codec::copyText(frame, size, serialNumber, longSerialNumberTextCapacity);
    codec::storeRaw(frame, raw, longSerialNumberRawCount);
}

void MsgLongSerialNumber::getText(std::string& out) { out = (boost::format("%1%") % serialNumber).str(); }

void MsgLongSerialNumber::getHexDump(std::string& out) {
    // One line feed, after the value with index 8.
    for (int i = 0; i < longSerialNumberRawCount; ++i) {
        codec::appendHexValue(out, raw[i]);
        if (i == 8) out += '\n';
    }
}

void MsgLongSerialNumber::getRawData(short* out) { std::copy(raw, raw + longSerialNumberRawCount, out); }

Message* MsgLongSerialNumber::clone() { return new MsgLongSerialNumber(*this); }

int MsgLongSerialNumber::getSize() { return size; }

// ---- MsgTrademark ---------------------------------------------------------

MsgTrademark::MsgTrademark(const unsigned char* frame) : Message(18, codec::decodeSize(frame)), trademark{}, raw{} {
    codec::copyText(frame, size, trademark, trademarkTextCapacity);
    codec::storeRaw(frame, raw, codec::keptCount(size, trademarkRawCapacity));
}

void MsgTrademark::getText(std::string& out) { out = (boost::format("%1%") % trademark).str(); }

void MsgTrademark::getHexDump(std::string& out) {
    codec::appendHexDump(out, raw, codec::keptCount(size, trademarkRawCapacity), codec::LineFeeds::AfterEveryEighth);
}

void MsgTrademark::getRawData(short* out) { std::copy(raw, raw + codec::keptCount(size, trademarkRawCapacity), out); }

Message* MsgTrademark::clone() { return new MsgTrademark(*this); }

int MsgTrademark::getSize() { return size; }

// ---- MsgVersion -----------------------------------------------------------

MsgVersion::MsgVersion(const unsigned char* frame)
    : Message(19, codec::decodeSize(frame)), major(frame[3] & 127), minor(frame[4] & 127), raw{} {
    codec::storeRaw(frame, raw, fixedRawCount);
}

void MsgVersion::getText(std::string& out) { out = (boost::format("%1$02d.%2$02d") % major % minor).str(); }

void MsgVersion::getHexDump(std::string& out) { codec::appendHexDump(out, raw, fixedRawCount, codec::LineFeeds::None); }

void MsgVersion::getRawData(short* out) { std::copy(raw, raw + fixedRawCount, out); }

Message* MsgVersion::clone() { return new MsgVersion(*this); }

int MsgVersion::getSize() { return size; }

// ---- MsgBatteryStatus -----------------------------------------------------

MsgBatteryStatus::MsgBatteryStatus(const unsigned char* frame)
    : Message(32, codec::decodeSize(frame)), percent(frame[3]), hours(frame[4] & 127), minutes(frame[5] & 127), raw{} {
    codec::storeRaw(frame, raw, batteryRawCount);
}

void MsgBatteryStatus::getText(std::string& out) {
    out = (boost::format("%1%%% - %2%:%3%") % percent % hours % minutes).str();
}

void MsgBatteryStatus::getHexDump(std::string& out) {
    codec::appendHexDump(out, raw, batteryRawCount, codec::LineFeeds::BeforeEveryEighthButFirst);
}

void MsgBatteryStatus::getRawData(short* out) { std::copy(raw, raw + batteryRawCopied, out); }

Message* MsgBatteryStatus::clone() { return new MsgBatteryStatus(*this); }

int MsgBatteryStatus::getSize() { return size; }

}  // namespace krvEBLowLevel
