// Decoding, text forms, hex dumps, raw copies and copies of the eleven
// message classes, including frames longer than any class can hold and
// frames shorter than their header.

#include "boardio/messages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include "message_frames.h"

using namespace krvEBLowLevel;
using frames::Frame;
using frames::hex;

namespace {

using Decoder = std::function<Message*(const unsigned char*)>;

template <class M>
Decoder decoder() {
    return [](const unsigned char* frame) -> Message* { return new M(frame); };
}

std::unique_ptr<Message> decode(const Decoder& make, const Frame& frame) {
    return std::unique_ptr<Message>(make(frame.data()));
}

std::string textOf(Message& message) {
    std::string out;
    message.getText(out);
    return out;
}

std::string dumpOf(Message& message) {
    std::string out;
    message.getHexDump(out);
    return out;
}

// The number of "xx " values in a dump (offset prefixes such as "0008: " and
// line feeds are not values).
int dumpedValues(const std::string& dump) {
    int count = 0;
    std::string token;
    for (char c : dump + " ") {
        if (c == ' ' || c == '\n') {
            if (token.size() == 2) ++count;
            token.clear();
        } else {
            token += c;
        }
    }
    return count;
}

constexpr short kUntouched = -1;

// What getRawData writes, given room for `room` values; values it does not
// write stay kUntouched, so the written count is pinned too.
std::vector<short> rawOf(Message& message, std::size_t room = 16000) {
    std::vector<short> out(room, kUntouched);
    message.getRawData(out.data());
    return out;
}

std::vector<short> written(const std::vector<short>& out) {
    auto end = std::find(out.begin(), out.end(), kUntouched);
    return std::vector<short>(out.begin(), end);
}

// ---------------------------------------------------------------------------
// Exact text forms
// ---------------------------------------------------------------------------

struct TextCase {
    const char* name;
    Decoder make;
    Frame frame;
    std::string text;
};

void PrintTo(const TextCase& c, std::ostream* os) { *os << c.name; }

class TextForms : public ::testing::TestWithParam<TextCase> {};

TEST_P(TextForms, GetTextGivesTheExpectedLine) {
    const TextCase& c = GetParam();
    auto message = decode(c.make, c.frame);
    EXPECT_EQ(textOf(*message), c.text);
}

std::vector<TextCase> textCases() {
    std::vector<TextCase> cases;
    // Board dumps.
    {
        Frame frame = frames::make(0x86, 53, {});
        cases.push_back({"BoardDumpOfFiftyEmptySquares", decoder<MsgBoardDump>(), frame, std::string(50, '.')});
    }
    cases.push_back(
        {"BoardDumpSkipsNonPieceCodes", decoder<MsgBoardDump>(), frames::make(0x86, 7, {1, 7, 13, 100}), "Pp1"});
    cases.push_back({"BoardDumpLettersOfAllSixteenCodes", decoder<MsgBoardDump>(),
                     frames::make(0x86, 19, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}),
                     ".PRNBKQprnbkq123"});
    cases.push_back({"BoardDumpReadsOnlyUpToSize", decoder<MsgBoardDump>(), frames::make(0x86, 5, {1, 2, 3, 4}), "PR"});
    cases.push_back({"BoardDumpOfSizeThreeIsEmpty", decoder<MsgBoardDump>(), frames::make(0x86, 3, {1, 2}), ""});
    // Field updates.
    cases.push_back({"FieldUpdateEmptySquare", decoder<MsgFieldUpdate>(), frames::make(0x8E, 5, {7, 0}), "007."});
    cases.push_back({"FieldUpdatePieceOne", decoder<MsgFieldUpdate>(), frames::make(0x8E, 5, {23, 1}), "023P"});
    cases.push_back({"FieldUpdateCodeThirteen", decoder<MsgFieldUpdate>(), frames::make(0x8E, 5, {45, 13}), "045x"});
    cases.push_back({"FieldUpdateSquareHundred", decoder<MsgFieldUpdate>(), frames::make(0x8E, 5, {100, 12}), "100q"});
    cases.push_back({"FieldUpdateCodeAboveFifteen", decoder<MsgFieldUpdate>(), frames::make(0x8E, 5, {1, 16}), "001?"});
    cases.push_back(
        {"FieldUpdateCodeWithTopBit", decoder<MsgFieldUpdate>(), frames::make(0x8E, 5, {50, 0x81}), "050?"});
    // Stored moves.
    cases.push_back({"EEMovesIsAFixedText", decoder<MsgEEMoves>(), frames::make(0x8F, 8, {1, 2, 3, 4, 5}), "EEMoves"});
    // Clock readings.
    cases.push_back({"ClockReading", decoder<MsgBWTime>(),
                     frames::make(0x8D, 10, {0x01, 0x23, 0x45, 0x00, 0x59, 0x07, 0}), "01:23:45 - 00:59:07"});
    cases.push_back({"ClockTimesUnavailable", decoder<MsgBWTime>(),
                     frames::make(0x8D, 10, {0x01, 0x23, 0x45, 0x00, 0x59, 0x07, 0x20}), "--:--:-- - --:--:--"});
    cases.push_back({"ClockDigitsAboveNineAreNotRejected", decoder<MsgBWTime>(),
                     frames::make(0x8D, 10, {0x0F, 0x5F, 0x00, 0x0B, 0x00, 0x7F, 0x00}), "15:65:00 - 11:00:85"});
    cases.push_back({"ClockOtherStatusBitsAreIgnored", decoder<MsgBWTime>(),
                     frames::make(0x8D, 10, {0x71, 0x02, 0x03, 0x44, 0x05, 0x06, 0x5F}), "01:02:03 - 04:05:06"});
    // Identity and status.
    cases.push_back({"BusAddress", decoder<MsgBusAddress>(), frames::make(0x90, 5, {0x01, 0x02}), "130"});
    cases.push_back({"BusAddressLargest", decoder<MsgBusAddress>(), frames::make(0x90, 5, {0x7F, 0x7F}), "16383"});
    cases.push_back({"SerialNumber", decoder<MsgSerialNumber>(), frames::withText(0x91, "12345"), "12345"});
    cases.push_back({"SerialNumberOfSizeThree", decoder<MsgSerialNumber>(), frames::make(0x91, 3, {'9', '9'}), ""});
    cases.push_back(
        {"SerialNumberStopsAtNul", decoder<MsgSerialNumber>(), frames::make(0x91, 8, {'1', '2', 0, '4', '5'}), "12"});
    cases.push_back({"LongSerialNumber", decoder<MsgLongSerialNumber>(), frames::withText(0xA1, "KRV-2021-000123"),
                     "KRV-2021-000123"});
    cases.push_back(
        {"TrademarkWithLineFeed", decoder<MsgTrademark>(), frames::withText(0x92, "Krv\nDamborden"), "Krv\nDamborden"});
    cases.push_back({"Version", decoder<MsgVersion>(), frames::make(0x93, 5, {1, 5}), "01.05"});
    cases.push_back({"VersionTwoDigits", decoder<MsgVersion>(), frames::make(0x93, 5, {12, 34}), "12.34"});
    cases.push_back({"VersionThreeDigits", decoder<MsgVersion>(), frames::make(0x93, 5, {127, 100}), "127.100"});
    cases.push_back({"BatteryStatus", decoder<MsgBatteryStatus>(), frames::make(0xA0, 12, {85, 3, 20}), "85% - 3:20"});
    cases.push_back(
        {"BatteryStatusNoLeadingZeros", decoder<MsgBatteryStatus>(), frames::make(0xA0, 12, {5, 0, 7}), "5% - 0:7"});
    cases.push_back({"Error", decoder<MsgError>(), frames::withText(0xFF, "020 No command found, data loss possible"),
                     "ERROR: 255 : 020 No command found, data loss possible"});
    cases.push_back({"ErrorOfSizeThree", decoder<MsgError>(), frames::make(0xFF, 3, {'x', 'y'}), "ERROR: 255 : "});
    cases.push_back({"ErrorStopsAtNul", decoder<MsgError>(), frames::make(0xFF, 9, {'0', '0', '2', 0, 'z', 'z'}),
                     "ERROR: 255 : 002"});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Messages, TextForms, ::testing::ValuesIn(textCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Clock acknowledgements
// ---------------------------------------------------------------------------

// A clock frame carrying the four acknowledgement values, marker in byte 6.
Frame ackFrame(int a0, int a1, int a2, int a3) {
    const auto byte = [](int value) { return static_cast<unsigned char>(value); };
    return frames::make(0x8D, 10,
                        {byte(((a2 & 128) >> 3) | ((a3 & 128) >> 2)), byte(a0 & 127), byte(a1 & 127),
                         byte(0x0A | ((a0 & 128) >> 3) | ((a1 & 128) >> 2)), byte(a2 & 127), byte(a3 & 127), 0});
}

struct AckCase {
    const char* name;
    Frame frame;
    int ack[4];
    std::string text;
};

void PrintTo(const AckCase& c, std::ostream* os) { *os << c.name; }

class ClockAcknowledgements : public ::testing::TestWithParam<AckCase> {};

TEST_P(ClockAcknowledgements, DecodeAndDescribe) {
    const AckCase& c = GetParam();
    MsgBWTime message(c.frame.data());
    EXPECT_TRUE(message.isAck);
    EXPECT_FALSE(message.timesUnavailable);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(message.ack[i], c.ack[i]) << "ack[" << i << "]";
    EXPECT_EQ(message.side1Hours + message.side1Minutes + message.side1Seconds + message.side2Hours +
                  message.side2Minutes + message.side2Seconds,
              0);
    EXPECT_EQ(textOf(message), c.text);
    EXPECT_EQ("ACK: " + message.describeAck(), c.text);
}

std::vector<AckCase> ackCases() {
    return {
        {"GeneratedReadyFromFrameBytes",
         frames::make(0x8D, 10, {0x0A, 0x10, 0x01, 0x2A, 0x00, 0x00, 0x00}),
         {16, 129, 0, 0},
         "ACK: GENERATED ACK (ready)"},
        {"VersionFromFrameBytes",
         frames::make(0x8D, 10, {0x0A, 0x10, 0x09, 0x0A, 0x15, 0x00, 0x00}),
         {16, 9, 21, 0},
         "ACK: Clock Version: ZT 01.05"},
        {"ModeStartStop", ackFrame(16, 136, 0, 77), {16, 136, 0, 77}, "ACK: GENERATED ACK (mode, start/stop pressed)"},
        {"ModeStartStopHighFourth",
         ackFrame(16, 136, 0, 200),
         {16, 136, 0, 200},
         "ACK: GENERATED ACK (mode, start/stop pressed)"},
        {"Mode", ackFrame(16, 138, 0, 3), {16, 138, 0, 3}, "ACK: GENERATED ACK (mode)"},
        {"GeneratedUnknownIsEmpty", ackFrame(16, 85, 0, 0), {16, 85, 0, 0}, "ACK: "},
        {"FirstZeroIsEmpty", ackFrame(0, 9, 3, 0), {0, 9, 3, 0}, "ACK: "},
        {"ThirdZeroIsEmpty", ackFrame(5, 9, 0, 0), {5, 9, 0, 0}, "ACK: "},
        {"ClockVersionHighNibbles", ackFrame(3, 9, 0xAB, 0), {3, 9, 0xAB, 0}, "ACK: Clock Version: ZT 10.11"},
        {"SetAndRun", ackFrame(16, 10, 1, 0), {16, 10, 1, 0}, "ACK: SETNRUN (Clock Mode = 23)"},
        {"ErrorSmall", ackFrame(5, 3, 1, 0), {5, 3, 1, 0}, "ACK: ACK ERROR 05"},
        {"ErrorLarge", ackFrame(200, 3, 1, 0), {200, 3, 1, 0}, "ACK: ACK ERROR 200"},
        {"SetAndRunNeedsSixteen", ackFrame(17, 10, 1, 0), {17, 10, 1, 0}, "ACK: ACK ERROR 17"},
        {"MarkerInByteSixAlone",
         frames::make(0x8D, 10, {0x01, 0x05, 0x03, 0x0A, 0x01, 0x00, 0x00}),
         {5, 3, 1, 0},
         "ACK: ACK ERROR 05"},
        {"MarkerInByteThreeAlone",
         frames::make(0x8D, 10, {0x0A, 0x05, 0x03, 0x01, 0x01, 0x00, 0x00}),
         {5, 3, 1, 0},
         "ACK: ACK ERROR 05"},
        {"StatusByteIgnored",
         frames::make(0x8D, 10, {0x0A, 0x10, 0x01, 0x2A, 0x00, 0x00, 0x20}),
         {16, 129, 0, 0},
         "ACK: GENERATED ACK (ready)"},
    };
}

INSTANTIATE_TEST_SUITE_P(Clock, ClockAcknowledgements, ::testing::ValuesIn(ackCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ClockReading, FieldsOfAReading) {
    Frame frame = frames::make(0x8D, 10, {0x01, 0x23, 0x45, 0x00, 0x59, 0x07, 0x00});
    MsgBWTime message(frame.data());
    EXPECT_EQ(message.id, 13);
    EXPECT_EQ(message.getSize(), 10);
    EXPECT_FALSE(message.isAck);
    EXPECT_FALSE(message.timesUnavailable);
    EXPECT_EQ(message.side1Hours, 1);
    EXPECT_EQ(message.side1Minutes, 23);
    EXPECT_EQ(message.side1Seconds, 45);
    EXPECT_EQ(message.side2Hours, 0);
    EXPECT_EQ(message.side2Minutes, 59);
    EXPECT_EQ(message.side2Seconds, 7);
    for (int value : message.ack) EXPECT_EQ(value, 0);
}

// ---------------------------------------------------------------------------
// Fields of the other classes
// ---------------------------------------------------------------------------

TEST(BoardDump, KeysTwentyAndTwentyOneStoreIdSix) {
    for (unsigned char idByte : {0x86, 0x06, 0x94, 0x95}) {
        Frame frame = frames::make(idByte, 5, {1, 2});
        MsgBoardDump message(frame.data());
        EXPECT_EQ(message.id, 6);
        EXPECT_EQ(message.raw[0], idByte & 0x7F);
    }
}

TEST(BoardDump, StoresSkippedBytesAndZerosBeyondSize) {
    Frame frame = frames::make(0x86, 7, {1, 7, 13, 100, 9, 9}, 5);
    MsgBoardDump message(frame.data());
    const std::vector<short> expected = {6, 0, 7, 1, 7, 13, 100};
    EXPECT_EQ(std::vector<short>(message.raw, message.raw + 7), expected);
    for (int j = 7; j < 200; ++j) ASSERT_EQ(message.raw[j], 0) << j;
    EXPECT_EQ(written(rawOf(message)), expected);
}

TEST(FieldUpdate, RejectsEverySizeButFive) {
    for (int size : {0, 3, 4, 6, 10, 16383}) {
        Frame frame = frames::make(0x8E, size, {23, 1});
        EXPECT_THROW(MsgFieldUpdate message(frame.data()), IncorrectMessageLength) << size;
        try {
            MsgFieldUpdate message(frame.data());
        } catch (const std::bad_exception& e) {
            EXPECT_STREQ(e.what(), "MsgFieldUpdate: Incorrect message length!");
        }
    }
}

TEST(FieldUpdate, FieldsAndAllLetters) {
    const std::string letters = ".PRNBKQprnbkqxyz";
    for (int code = 0; code < 16; ++code) {
        Frame frame = frames::make(0x8E, 5, {9, static_cast<unsigned char>(code)});
        MsgFieldUpdate message(frame.data());
        EXPECT_EQ(message.id, 14);
        EXPECT_EQ(message.getSize(), 5);
        EXPECT_EQ(message.square, 9);
        EXPECT_EQ(message.piece, letters[code]) << code;
    }
}

TEST(Identity, FieldsAndIds) {
    Frame bus = frames::make(0x90, 5, {0x01, 0x02});
    EXPECT_EQ(MsgBusAddress(bus.data()).address, 130);
    EXPECT_EQ(MsgBusAddress(bus.data()).id, 16);
    Frame version = frames::make(0x93, 5, {0x81, 0x85});  // top bits ignored
    MsgVersion v(version.data());
    EXPECT_EQ(v.id, 19);
    EXPECT_EQ(v.major, 1);
    EXPECT_EQ(v.minor, 5);
    Frame battery = frames::make(0xA0, 12, {85, 0x83, 0x94});
    MsgBatteryStatus b(battery.data());
    EXPECT_EQ(b.id, 32);
    EXPECT_EQ(b.percent, 85);
    EXPECT_EQ(b.hours, 3);
    EXPECT_EQ(b.minutes, 20);
    Frame serial = frames::withText(0x91, "12345");
    EXPECT_EQ(MsgSerialNumber(serial.data()).id, 17);
    Frame trademark = frames::withText(0x92, "x");
    EXPECT_EQ(MsgTrademark(trademark.data()).id, 18);
    Frame longSerial = frames::withText(0xA1, "x");
    EXPECT_EQ(MsgLongSerialNumber(longSerial.data()).id, 33);
    Frame error = frames::withText(0xFF, "x");
    MsgError e(error.data());
    EXPECT_EQ(e.id, 127);
    EXPECT_EQ(e.errorCode, 255);
    EXPECT_EQ(e.errorText, "x");
}

TEST(SizeBytes, AreReadAsSevenBitValues) {
    Frame frame = frames::make(0x8F, 0, {});
    frame[1] = 0x81;  // top bits outside the protocol: ignored
    frame[2] = 0x82;
    MsgEEMoves message(frame.data());
    EXPECT_EQ(message.getSize(), 130);
    frame[1] = 0xFF;
    frame[2] = 0xFF;
    EXPECT_EQ(MsgBoardDump(frame.data()).getSize(), 16383);
}

// ---------------------------------------------------------------------------
// Exact hex dump layouts
// ---------------------------------------------------------------------------

struct DumpCase {
    const char* name;
    Decoder make;
    Frame frame;
    std::string dump;
};

void PrintTo(const DumpCase& c, std::ostream* os) { *os << c.name; }

class HexDumps : public ::testing::TestWithParam<DumpCase> {};

TEST_P(HexDumps, LayoutIsExact) {
    const DumpCase& c = GetParam();
    auto message = decode(c.make, c.frame);
    EXPECT_EQ(dumpOf(*message), c.dump);
}

std::vector<DumpCase> dumpCases() {
    return {
        {"BoardDumpStartsWithLineFeed", decoder<MsgBoardDump>(),
         frames::make(0x86, 13, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, 1),
         "\n" + hex({6, 0, 13, 0, 1, 2, 3, 4}) + "\n" + hex({5, 6, 7, 8, 9})},
        {"BoardDumpLineFeedBeforeSixteen", decoder<MsgBoardDump>(), frames::make(0x86, 17, {}, 0x81),
         "\n" + hex({6, 0, 17, 1, 1, 1, 1, 1}) + "\n" + hex({1, 1, 1, 1, 1, 1, 1, 1}) + "\n" + hex({1})},
        {"ClockReading", decoder<MsgBWTime>(), frames::make(0x8D, 10, {0x01, 0x23, 0x45, 0x00, 0x59, 0x07, 0x00}),
         "\n" + hex({0x0d, 0x00, 0x0a, 0x01, 0x23, 0x45, 0x00, 0x59}) + "\n" + hex({0x07, 0x00})},
        {"FieldUpdate", decoder<MsgFieldUpdate>(), frames::make(0x8E, 5, {23, 1}), "0e 00 05 17 01 "},
        {"EEMovesTenBytes", decoder<MsgEEMoves>(), frames::make(0x8F, 10, {1, 2, 3, 4, 5, 6, 7}),
         "0000: 0f 00 0a 01 02 03 04 05 \n0008: 06 07 "},
        {"EEMovesSeventeenBytes", decoder<MsgEEMoves>(), frames::make(0x8F, 17, {}, 0x7F),
         "0000: " + hex({0x0f, 0, 0x11, 0x7f, 0x7f, 0x7f, 0x7f, 0x7f}) +
             "\n0008: " + hex({0x7f, 0x7f, 0x7f, 0x7f, 0x7f, 0x7f, 0x7f, 0x7f}) + "\n0010: 7f "},
        {"EEMovesOfSizeThree", decoder<MsgEEMoves>(), frames::make(0x8F, 3, {1}), "0000: 0f 00 03 "},
        {"BusAddress", decoder<MsgBusAddress>(), frames::make(0x90, 5, {1, 2}), "10 00 05 01 02 "},
        {"Version", decoder<MsgVersion>(), frames::make(0x93, 5, {1, 5}), "13 00 05 01 05 "},
        {"SerialNumberTwelve", decoder<MsgSerialNumber>(), frames::withText(0x91, "123456789"),
         hex({0x11, 0, 12, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36}) + "\n" + hex({0x37, 0x38, 0x39})},
        {"SerialNumberNine", decoder<MsgSerialNumber>(), frames::withText(0x91, "123456"),
         hex({0x11, 0, 9, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36}) + "\n"},
        {"SerialNumberEight", decoder<MsgSerialNumber>(), frames::withText(0x91, "12345"),
         hex({0x11, 0, 8, 0x31, 0x32, 0x33, 0x34, 0x35})},
        {"LongSerialNumber", decoder<MsgLongSerialNumber>(), frames::withText(0xA1, "ABCDEFGHIJ"),
         hex({0x21, 0, 13, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46}) + "\n" + hex({0x47, 0x48, 0x49, 0x4a})},
        {"LongSerialNumberReadsThirteenWhateverSize", decoder<MsgLongSerialNumber>(),
         frames::make(0xA1, 4, {0x41, 0x42}, 0x43),
         hex({0x21, 0, 4, 0x41, 0x42, 0x43, 0x43, 0x43, 0x43}) + "\n" + hex({0x43, 0x43, 0x43, 0x43})},
        {"Trademark", decoder<MsgTrademark>(), frames::withText(0x92, "ABCDEFGHI"),
         "12 \n" + hex({0, 12, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46}) + "\n" + hex({0x47, 0x48, 0x49})},
        {"TrademarkSeventeen", decoder<MsgTrademark>(), frames::make(0x92, 17, {}, 0x41),
         "12 \n" + hex({0, 17, 0x41, 0x41, 0x41, 0x41, 0x41, 0x41}) + "\n" +
             hex({0x41, 0x41, 0x41, 0x41, 0x41, 0x41, 0x41, 0x41}) + "\n"},
        {"BatteryStatus", decoder<MsgBatteryStatus>(), frames::make(0xA0, 12, {85, 3, 20, 1, 2, 3, 4, 5, 6}),
         hex({0x20, 0, 12, 0x55, 0x03, 0x14, 0x01, 0x02}) + "\n" + hex({0x03, 0x04, 0x05, 0x06})},
        {"BatteryStatusReadsTwelveWhateverSize", decoder<MsgBatteryStatus>(), frames::make(0xA0, 6, {85, 3, 20}, 0x99),
         hex({0x20, 0, 6, 0x55, 0x03, 0x14, 0x19, 0x19}) + "\n" + hex({0x19, 0x19, 0x19, 0x19})},
        {"ErrorDumpIsItsText", decoder<MsgError>(), frames::withText(0xFF, "010 Could not write data: gone"),
         "ERROR: 255 : 010 Could not write data: gone"},
    };
}

INSTANTIATE_TEST_SUITE_P(Messages, HexDumps, ::testing::ValuesIn(dumpCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// Raw copies: exactly which values, and how many
// ---------------------------------------------------------------------------

struct RawCase {
    const char* name;
    Decoder make;
    Frame frame;
    std::vector<short> raw;
};

void PrintTo(const RawCase& c, std::ostream* os) { *os << c.name; }

class RawCopies : public ::testing::TestWithParam<RawCase> {};

TEST_P(RawCopies, CopiesExactlyTheseValues) {
    const RawCase& c = GetParam();
    auto message = decode(c.make, c.frame);
    EXPECT_EQ(written(rawOf(*message)), c.raw);
}

std::vector<RawCase> rawCases() {
    return {
        {"BoardDump", decoder<MsgBoardDump>(), frames::make(0x86, 7, {1, 7, 13, 100}, 3), {6, 0, 7, 1, 7, 13, 100}},
        {"BoardDumpTopBitsCleared", decoder<MsgBoardDump>(), frames::make(0x94, 5, {0x81, 0x82}), {20, 0, 5, 1, 2}},
        {"FieldUpdate", decoder<MsgFieldUpdate>(), frames::make(0x8E, 5, {23, 1}, 9), {14, 0, 5, 23, 1}},
        {"EEMovesPayloadOnly", decoder<MsgEEMoves>(), frames::make(0x8F, 8, {1, 2, 3, 4, 5}, 9), {1, 2, 3, 4, 5}},
        {"EEMovesOfSizeThreeCopiesNothing", decoder<MsgEEMoves>(), frames::make(0x8F, 3, {1, 2}, 9), {}},
        {"Clock",
         decoder<MsgBWTime>(),
         frames::make(0x8D, 10, {0x01, 0x23, 0x45, 0x00, 0x59, 0x07, 0x00}, 9),
         {13, 0, 10, 1, 0x23, 0x45, 0, 0x59, 7, 0}},
        {"BusAddress", decoder<MsgBusAddress>(), frames::make(0x90, 5, {1, 2}, 9), {16, 0, 5, 1, 2}},
        {"Version", decoder<MsgVersion>(), frames::make(0x93, 5, {1, 5}, 9), {19, 0, 5, 1, 5}},
        {"SerialNumberUpToSize",
         decoder<MsgSerialNumber>(),
         frames::make(0x91, 6, {'1', '2', '3'}, 9),
         {17, 0, 6, '1', '2', '3'}},
        {"LongSerialNumberAlwaysThirteen",
         decoder<MsgLongSerialNumber>(),
         frames::make(0xA1, 5, {'1', '2'}, 9),
         {33, 0, 5, '1', '2', 9, 9, 9, 9, 9, 9, 9, 9}},
        {"TrademarkUpToSize",
         decoder<MsgTrademark>(),
         frames::make(0x92, 6, {'A', 'B', 'C'}, 9),
         {18, 0, 6, 'A', 'B', 'C'}},
        {"BatteryFirstSeven",
         decoder<MsgBatteryStatus>(),
         frames::make(0xA0, 12, {85, 3, 20, 1, 2, 3, 4, 5, 6}),
         {32, 0, 12, 85, 3, 20, 1}},
        {"ErrorCode", decoder<MsgError>(), frames::withText(0xFF, "002 Could not read command: x"), {255}},
    };
}

INSTANTIATE_TEST_SUITE_P(Messages, RawCopies, ::testing::ValuesIn(rawCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RawStorage, TrademarkZerosBeyondSize) {
    Frame frame = frames::make(0x92, 6, {'A', 'B', 'C'}, 'Z');
    MsgTrademark message(frame.data());
    for (int j = 6; j < 1032; ++j) ASSERT_EQ(message.raw[j], 0) << j;
}

// ---------------------------------------------------------------------------
// Frames longer than any capacity: size bytes say 16383, the buffer is full
// ---------------------------------------------------------------------------

struct OverlongCase {
    const char* name;
    Decoder make;
    unsigned char idByte;
    unsigned char fill;
    std::string text;       // expected getText
    int dumpValues;         // values in getHexDump
    std::size_t rawValues;  // values getRawData writes
};

void PrintTo(const OverlongCase& c, std::ostream* os) { *os << c.name; }

class OverlongFrames : public ::testing::TestWithParam<OverlongCase> {};

TEST_P(OverlongFrames, StayWithinEveryCapacity) {
    const OverlongCase& c = GetParam();
    Frame frame = frames::overlong(c.idByte, c.fill);
    auto message = decode(c.make, frame);
    EXPECT_EQ(message->getSize(), 16383);
    EXPECT_EQ(message->size, 16383);
    EXPECT_EQ(textOf(*message), c.text);
    EXPECT_EQ(dumpedValues(dumpOf(*message)), c.dumpValues);
    // Exactly as much room as the copy needs: AddressSanitizer reports more.
    std::vector<short> out(c.rawValues, kUntouched);
    message->getRawData(out.data());
    for (short value : out) ASSERT_NE(value, kUntouched);
    std::unique_ptr<Message> copy(message->clone());
    EXPECT_EQ(textOf(*copy), c.text);
}

std::vector<OverlongCase> overlongCases() {
    const std::string errorText = "ERROR: 255 : " + std::string(255, 'E');
    return {
        {"BoardDumpOfPieces", decoder<MsgBoardDump>(), 0x86, 1, std::string(200, 'P'), 200, 200},
        {"BoardDumpOfOtherBytes", decoder<MsgBoardDump>(), 0x86, 100, "", 200, 200},
        {"EEMoves", decoder<MsgEEMoves>(), 0x8F, 5, "EEMoves", 10000, 9997},
        {"Clock", decoder<MsgBWTime>(), 0x8D, 0x11, "01:11:11 - 01:11:11", 10, 10},
        {"BusAddress", decoder<MsgBusAddress>(), 0x90, 0x7F, "16383", 5, 5},
        {"SerialNumber", decoder<MsgSerialNumber>(), 0x91, 'S', std::string(19, 'S'), 12, 12},
        {"LongSerialNumber", decoder<MsgLongSerialNumber>(), 0xA1, 'L', std::string(29, 'L'), 13, 13},
        {"Trademark", decoder<MsgTrademark>(), 0x92, 'T', std::string(1033, 'T'), 1032, 1032},
        {"Version", decoder<MsgVersion>(), 0x93, 7, "07.07", 5, 5},
        {"BatteryStatus", decoder<MsgBatteryStatus>(), 0xA0, 9, "9% - 9:9", 12, 7},
        {"Error", decoder<MsgError>(), 0xFF, 'E', errorText, 0, 1},
    };
}

INSTANTIATE_TEST_SUITE_P(Messages, OverlongFrames, ::testing::ValuesIn(overlongCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(OverlongFrames, BoardDumpOfSize250KeepsTwoHundredLetters) {
    Frame frame = frames::make(0x86, 250, {}, 2);
    MsgBoardDump message(frame.data());
    EXPECT_EQ(std::string(message.pieces), std::string(200, 'R'));
    EXPECT_EQ(dumpedValues(dumpOf(message)), 200);
    EXPECT_EQ(message.raw[199], 2);
}

TEST(OverlongFrames, FieldsStopAtTheirCapacity) {
    Frame serial = frames::overlong(0x91, 'S');
    MsgSerialNumber s(serial.data());
    EXPECT_EQ(std::string(s.serialNumber), std::string(19, 'S'));
    Frame serial22 = frames::withText(0x91, std::string(19, '7'));
    EXPECT_EQ(std::string(MsgSerialNumber(serial22.data()).serialNumber), std::string(19, '7'));
    Frame serial23 = frames::withText(0x91, std::string(20, '7'));
    EXPECT_EQ(std::string(MsgSerialNumber(serial23.data()).serialNumber), std::string(19, '7'));
    Frame longSerial = frames::withText(0xA1, std::string(40, 'L'));
    EXPECT_EQ(std::string(MsgLongSerialNumber(longSerial.data()).serialNumber), std::string(29, 'L'));
    Frame trademark = frames::withText(0x92, std::string(1100, 'T'));
    MsgTrademark t(trademark.data());
    EXPECT_EQ(std::string(t.trademark), std::string(1033, 'T'));
    EXPECT_EQ(t.raw[1031], 'T');
    Frame error = frames::withText(0xFF, std::string(300, 'E'));
    EXPECT_EQ(MsgError(error.data()).errorText, std::string(255, 'E'));
    Frame eeMoves = frames::overlong(0x8F, 0x85);
    MsgEEMoves e(eeMoves.data());
    EXPECT_EQ(e.raw[9999], 5);
    EXPECT_EQ(e.raw[10000], 0);
    const std::string dump = dumpOf(e);
    const std::string lastLine = "\n2708: " + hex({5, 5, 5, 5, 5, 5, 5, 5});
    ASSERT_GE(dump.size(), lastLine.size());
    EXPECT_EQ(dump.substr(dump.size() - lastLine.size()), lastLine);
}

// ---------------------------------------------------------------------------
// Frames shorter than their header: sizes 0, 1 and 2
// ---------------------------------------------------------------------------

struct ShortCase {
    const char* name;
    Decoder make;
    unsigned char idByte;
    std::string textAtSize[3];       // getText for sizes 0, 1, 2
    int dumpValuesAtSize[3];         // values dumped for sizes 0, 1, 2
    std::size_t rawValuesAtSize[3];  // values copied for sizes 0, 1, 2
};

void PrintTo(const ShortCase& c, std::ostream* os) { *os << c.name; }

class ShortFrames : public ::testing::TestWithParam<ShortCase> {};

TEST_P(ShortFrames, NeverCountNegative) {
    const ShortCase& c = GetParam();
    for (int size = 0; size < 3; ++size) {
        Frame frame = frames::make(c.idByte, size, {}, 'a');
        auto message = decode(c.make, frame);
        EXPECT_EQ(message->getSize(), size);
        EXPECT_EQ(textOf(*message), c.textAtSize[size]) << size;
        EXPECT_EQ(dumpedValues(dumpOf(*message)), c.dumpValuesAtSize[size]) << size;
        EXPECT_EQ(written(rawOf(*message)).size(), c.rawValuesAtSize[size]) << size;
    }
}

std::vector<ShortCase> shortCases() {
    const std::string none = "ERROR: 255 : ";
    return {
        {"BoardDump", decoder<MsgBoardDump>(), 0x86, {"", "", ""}, {0, 1, 2}, {0, 1, 2}},
        {"EEMoves", decoder<MsgEEMoves>(), 0x8F, {"EEMoves", "EEMoves", "EEMoves"}, {0, 1, 2}, {0, 0, 0}},
        {"SerialNumber", decoder<MsgSerialNumber>(), 0x91, {"", "", ""}, {0, 1, 2}, {0, 1, 2}},
        {"LongSerialNumber", decoder<MsgLongSerialNumber>(), 0xA1, {"", "", ""}, {13, 13, 13}, {13, 13, 13}},
        {"Trademark", decoder<MsgTrademark>(), 0x92, {"", "", ""}, {0, 1, 2}, {0, 1, 2}},
        {"Error", decoder<MsgError>(), 0xFF, {none, none, none}, {0, 0, 0}, {1, 1, 1}},
    };
}

INSTANTIATE_TEST_SUITE_P(Messages, ShortFrames, ::testing::ValuesIn(shortCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------
// clone, and getText replacing against getHexDump appending
// ---------------------------------------------------------------------------

struct AnyCase {
    const char* name;
    Decoder make;
    Frame frame;
    bool dumpReplaces;  // MsgError's getHexDump replaces like getText
};

void PrintTo(const AnyCase& c, std::ostream* os) { *os << c.name; }

class EveryClass : public ::testing::TestWithParam<AnyCase> {};

TEST_P(EveryClass, CloneIsAnEqualCopyOfTheSameClass) {
    const AnyCase& c = GetParam();
    auto message = decode(c.make, c.frame);
    const std::string text = textOf(*message);
    Message* copy = message->clone();
    ASSERT_NE(copy, nullptr);
    ASSERT_NE(copy, message.get());
    EXPECT_EQ(typeid(*copy), typeid(*message));
    EXPECT_EQ(copy->id, message->id);
    EXPECT_EQ(copy->getSize(), message->getSize());
    EXPECT_EQ(textOf(*copy), textOf(*message));
    EXPECT_EQ(dumpOf(*copy), dumpOf(*message));
    EXPECT_EQ(rawOf(*copy), rawOf(*message));
    // The copy stands alone: the original can go first.
    message.reset();
    EXPECT_EQ(textOf(*copy), text);
    delete copy;  // through Message*: the concrete class is destroyed
}

TEST_P(EveryClass, GetTextReplacesAndGetHexDumpAppends) {
    const AnyCase& c = GetParam();
    auto message = decode(c.make, c.frame);
    const std::string text = textOf(*message);
    const std::string dump = dumpOf(*message);

    std::string out = "previous content";
    message->getText(out);
    EXPECT_EQ(out, text);

    out = "previous content";
    message->getHexDump(out);
    EXPECT_EQ(out, c.dumpReplaces ? dump : "previous content" + dump);

    // Operations change nothing: asking again gives the same.
    EXPECT_EQ(textOf(*message), text);
    EXPECT_EQ(dumpOf(*message), dump);
}

std::vector<AnyCase> anyCases() {
    return {
        {"BoardDump", decoder<MsgBoardDump>(), frames::make(0x95, 9, {1, 2, 3, 13, 15, 0}), false},
        {"FieldUpdate", decoder<MsgFieldUpdate>(), frames::make(0x8E, 5, {45, 13}), false},
        {"EEMoves", decoder<MsgEEMoves>(), frames::make(0x8F, 20, {}, 0x42), false},
        {"ClockReading", decoder<MsgBWTime>(), frames::make(0x8D, 10, {0x01, 0x23, 0x45, 0x00, 0x59, 0x07, 0x00}),
         false},
        {"ClockAck", decoder<MsgBWTime>(), frames::make(0x8D, 10, {0x0A, 0x10, 0x09, 0x0A, 0x15, 0x00, 0x00}), false},
        {"BusAddress", decoder<MsgBusAddress>(), frames::make(0x90, 5, {1, 2}), false},
        {"SerialNumber", decoder<MsgSerialNumber>(), frames::withText(0x91, "123456789"), false},
        {"LongSerialNumber", decoder<MsgLongSerialNumber>(), frames::withText(0xA1, "ABCDEFGHIJ"), false},
        {"Trademark", decoder<MsgTrademark>(), frames::withText(0x92, "Krv\nDamborden"), false},
        {"Version", decoder<MsgVersion>(), frames::make(0x93, 5, {1, 5}), false},
        {"BatteryStatus", decoder<MsgBatteryStatus>(), frames::make(0xA0, 12, {85, 3, 20}), false},
        {"Error", decoder<MsgError>(),
         frames::withText(0xFF, "003 Could not read size: a long description that does not fit a short string"), true},
    };
}

INSTANTIATE_TEST_SUITE_P(Messages, EveryClass, ::testing::ValuesIn(anyCases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
