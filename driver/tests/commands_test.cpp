// The host-to-board commands: exact bytes of all eighteen classes,
// the display encoding, masking, and deletion through Command*.

#include "boardio/commands.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace krvEBLowLevel;

namespace {

using Bytes = std::vector<unsigned char>;

Bytes bytesOf(Command& command) { return Bytes(command.getData(), command.getData() + command.size); }

struct CommandCase {
    const char* name;
    std::function<Command*()> make;
    short code;
    Bytes bytes;
};

void PrintTo(const CommandCase& c, std::ostream* os) { *os << c.name; }

class EveryCommand : public ::testing::TestWithParam<CommandCase> {};

TEST_P(EveryCommand, CodeSizeAndExactBytes) {
    const CommandCase& c = GetParam();
    std::unique_ptr<Command> command(c.make());
    EXPECT_EQ(command->code, c.code);
    EXPECT_EQ(command->size, static_cast<short>(c.bytes.size()));
    EXPECT_EQ(bytesOf(*command), c.bytes);
    EXPECT_EQ(command->getData()[0], command->code);  // the code is the first byte sent
    if (command->code == KRV_CMD_CLOCK_MESSAGE) {
        EXPECT_EQ(command->getData()[1], command->size - 2);
        EXPECT_EQ(command->getData()[2], 0x03);
    }
}

template <class C>
std::function<Command*()> make() {
    return [] { return new C(); };
}

std::vector<CommandCase> commandCases() {
    return {
        {"SendReset", make<CmdSendReset>(), 0x40, {0x40}},
        {"SendClk", make<CmdSendClk>(), 0x41, {0x41}},
        {"SendBrd", make<CmdSendBrd>(), 0x42, {0x42}},
        {"SendUpdate", make<CmdSendUpdate>(), 0x43, {0x43}},
        {"SendUpdateBrd", make<CmdSendUpdateBrd>(), 0x44, {0x44}},
        {"ReturnSerialNr", make<CmdReturnSerialNr>(), 0x45, {0x45}},
        {"ReturnBusAddress", make<CmdReturnBusAddress>(), 0x46, {0x46}},
        {"SendTrademark", make<CmdSendTrademark>(), 0x47, {0x47}},
        {"SendEEMoves", make<CmdSendEEMoves>(), 0x49, {0x49}},
        {"SendUpdateNice", make<CmdSendUpdateNice>(), 0x4B, {0x4B}},
        {"SendBatteryStatus", make<CmdSendBatteryStatus>(), 0x4C, {0x4C}},
        {"SendVersion", make<CmdSendVersion>(), 0x4D, {0x4D}},
        {"ClockMessageWithoutText",
         make<CmdClockMessage>(),
         0x2B,
         {0x2B, 0x0B, 0x03, 0x01, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x00, 0x01, 0x00}},
        {"ClockMessageDigits",
         [] { return new CmdClockMessage("123456", 0, false); },
         0x2B,
         {0x2B, 0x0B, 0x03, 0x01, 0x4F, 0x5B, 0x06, 0x7D, 0x6D, 0x66, 0x00, 0x00, 0x00}},
        {"ClockIcons",
         make<CmdClockIcons>(),
         0x2B,
         {0x2B, 0x0B, 0x03, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
        {"ClockSetNRunDefaults",
         make<CmdClockSetNRun>(),
         0x2B,
         {0x2B, 0x09, 0x03, 0x0A, 0x00, 0x0A, 0x00, 0x00, 0x0A, 0x00, 0x07}},
        {"ClockBeepOne", [] { return new CmdClockBeep(1); }, 0x2B, {0x2B, 0x03, 0x03, 0x0B, 0x10}},
        {"ClockBeepFifteen", [] { return new CmdClockBeep(15); }, 0x2B, {0x2B, 0x03, 0x03, 0x0B, 0xF0}},
        {"ClockBeepSixteen", [] { return new CmdClockBeep(16); }, 0x2B, {0x2B, 0x03, 0x03, 0x0B, 0x00}},
        {"ClockBeepZero", [] { return new CmdClockBeep(0); }, 0x2B, {0x2B, 0x03, 0x03, 0x0B, 0x00}},
        {"EndClockMessage", make<CmdEndClockMessage>(), 0x2B, {0x2B, 0x02, 0x03, 0x03}},
        {"ClockVersion", make<CmdClockVersion>(), 0x2B, {0x2B, 0x02, 0x03, 0x09}},
    };
}

INSTANTIATE_TEST_SUITE_P(Commands, EveryCommand, ::testing::ValuesIn(commandCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Display texts --------------------------------------------------------

struct DisplayCase {
    const char* name;
    std::string text;
    int dots;
    bool beep;
    Bytes display;  // bytes 4 to 9
    unsigned char dotsByte;
    unsigned char beepByte;
};

void PrintTo(const DisplayCase& c, std::ostream* os) { *os << c.name; }

class DisplayTexts : public ::testing::TestWithParam<DisplayCase> {};

TEST_P(DisplayTexts, EncodeAsExpected) {
    const DisplayCase& c = GetParam();
    CmdClockMessage command(c.text, c.dots, c.beep);
    EXPECT_EQ(command.code, 0x2B);
    EXPECT_EQ(command.size, 13);
    EXPECT_EQ(command.text, c.text);
    const Bytes bytes = bytesOf(command);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 4), (Bytes{0x2B, 0x0B, 0x03, 0x01}));
    EXPECT_EQ(Bytes(bytes.begin() + 4, bytes.begin() + 10), c.display);
    EXPECT_EQ(bytes[10], c.dotsByte);
    EXPECT_EQ(bytes[11], c.beepByte);
    EXPECT_EQ(bytes[12], 0x00);
    EXPECT_EQ(command.dots, c.dotsByte);
    EXPECT_EQ(command.beep, c.beepByte);
}

std::vector<DisplayCase> displayCases() {
    return {
        {"SixDigits", "123456", 0, false, {0x4F, 0x5B, 0x06, 0x7D, 0x6D, 0x66}, 0x00, 0x00},
        {"TwoDigits", "12", 0, false, {0x00, 0x5B, 0x06, 0x00, 0x00, 0x00}, 0x00, 0x00},
        {"Hello", "HELLO", 0, false, {0x38, 0x79, 0x76, 0x00, 0x3F, 0x38}, 0x00, 0x00},
        {"ColonHasNoGlyph", "10:00", 0, false, {0x49, 0x3F, 0x06, 0x00, 0x3F, 0x3F}, 0x00, 0x00},
        {"EmptyTextIsBlank", "", 0, false, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, 0x00, 0x00},
        {"LongTextIsCut", "1234567890", 0, false, {0x4F, 0x5B, 0x06, 0x7D, 0x6D, 0x66}, 0x00, 0x00},
        {"DotsMasked", "", 0xFF, false, {0, 0, 0, 0, 0, 0}, 0x3F, 0x00},
        {"DotsKept", "", 0x15, false, {0, 0, 0, 0, 0, 0}, 0x15, 0x00},
        {"DotsUpperBitsDropped", "", 0x140, false, {0, 0, 0, 0, 0, 0}, 0x00, 0x00},
        {"BeepFlag", "", 0, true, {0, 0, 0, 0, 0, 0}, 0x00, 0x03},
        {"HighByteCharacter", "\xA1", 0, false, {0x00, 0x00, 0x6B, 0x00, 0x00, 0x00}, 0x00, 0x00},
        {"ControlCharacterHasNoGlyph", std::string("\x01\x7F", 2), 0, false, {0x00, 0x49, 0x49, 0, 0, 0}, 0, 0},
        {"FullStopIsBlank", "a.b", 0, false, {0x7C, 0x00, 0x77, 0x00, 0x00, 0x00}, 0x00, 0x00},
        {"NulCharacterInText",
         std::string("\0"
                     "1",
                     2),
         0,
         false,
         {0x00, 0x06, 0x49, 0, 0, 0},
         0,
         0},
    };
}

INSTANTIATE_TEST_SUITE_P(Commands, DisplayTexts, ::testing::ValuesIn(displayCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ClockMessage, ExclamationMarkAndA1ShareAPattern) {
    CmdClockMessage bang("!", 0, false);
    CmdClockMessage a1("\xA1", 0, false);
    EXPECT_EQ(bang.getData()[6], 0x6B);
    EXPECT_EQ(a1.getData()[6], 0x6B);
}

TEST(ClockMessage, ConstructorWithoutArgumentsHasEmptyText) {
    CmdClockMessage command;
    EXPECT_TRUE(command.text.empty());
    EXPECT_EQ(command.dots, 0);
    EXPECT_EQ(command.beep, 1);
}

TEST(ClockMessage, DeletingThroughCommandReleasesTheText) {
    Command* command = new CmdClockMessage(std::string(1000, 'x') + "long text on the heap", 0, false);
    EXPECT_EQ(command->size, 13);
    delete command;  // LeakSanitizer reports the text if the destructor were not virtual
}

TEST(ClockBeep, KeepsBeepTimeAndMasksTheByte) {
    CmdClockBeep beep(0x123);
    EXPECT_EQ(beep.beepTime, 0x123);
    EXPECT_EQ(beep.getData()[4], 0x30);
}

TEST(ClockSetNRun, DefaultFields) {
    CmdClockSetNRun command;
    EXPECT_EQ(command.side1[0], 0);
    EXPECT_EQ(command.side1[1], 10);
    EXPECT_EQ(command.side1[2], 0);
    EXPECT_EQ(command.side2[0], 0);
    EXPECT_EQ(command.side2[1], 10);
    EXPECT_EQ(command.side2[2], 0);
    EXPECT_EQ(command.runMode, 23);
}

// ---- The segment table ------------------------------------

TEST(ClockSegmentTable, MatchesTheDisplayGlyphs) {
    const unsigned char printable[6][16] = {
        {0x00, 0x6B, 0x22, 0x5C, 0x4C, 0x49, 0x49, 0x02, 0x39, 0x0F, 0x49, 0x70, 0x20, 0x40, 0x00, 0x52},
        {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F, 0x49, 0x11, 0x58, 0x48, 0x4C, 0x53},
        {0x49, 0x77, 0x7F, 0x39, 0x5E, 0x79, 0x71, 0x3D, 0x76, 0x06, 0x1E, 0x76, 0x38, 0x33, 0x37, 0x3F},
        {0x73, 0x67, 0x31, 0x6D, 0x78, 0x3E, 0x3E, 0x3C, 0x76, 0x6E, 0x5B, 0x39, 0x64, 0x0F, 0x49, 0x08},
        {0x49, 0x77, 0x7C, 0x58, 0x5E, 0x79, 0x71, 0x3D, 0x74, 0x04, 0x0C, 0x76, 0x30, 0x33, 0x54, 0x5C},
        {0x73, 0x67, 0x50, 0x4C, 0x78, 0x1C, 0x1C, 0x3C, 0x76, 0x6E, 0x5B, 0x0F, 0x30, 0x39, 0x01, 0x49},
    };
    unsigned char expected[256];
    for (int i = 0; i < 256; ++i) expected[i] = 0x49;
    for (int row = 0; row < 6; ++row)
        for (int column = 0; column < 16; ++column) expected[0x20 + row * 16 + column] = printable[row][column];
    expected[0x8B] = expected[0x8D] = 0x10;
    expected[0x93] = expected[0x94] = expected[0x95] = expected[0xA2] = 0x5D;
    expected[0xA1] = 0x6B;
    expected[0xA4] = expected[0xF8] = 0x63;
    expected[0xA8] = 0x22;
    expected[0xAC] = 0x44;
    expected[0xAD] = 0x42;
    expected[0xB5] = 0x72;
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(clockSegmentTable[i], expected[i]) << "entry " << std::hex << i;
        EXPECT_EQ(clockSegmentTable[i] & 0x80, 0);
    }
}

}  // namespace
