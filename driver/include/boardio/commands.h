#ifndef BOARDIO_COMMANDS_H
#define BOARDIO_COMMANDS_H

// Host-to-board commands. They are defined completely here and compiled into
// the program that builds them; the driver only reads code, size and getData().

#include <string>

namespace krvEBLowLevel {

constexpr unsigned char KRV_CMD_CLOCK_MESSAGE = 0x2B;
constexpr unsigned char KRV_CMD_SEND_RESET = 0x40;
constexpr unsigned char KRV_CMD_SEND_CLK = 0x41;
constexpr unsigned char KRV_CMD_SEND_BRD = 0x42;
constexpr unsigned char KRV_CMD_SEND_UPDATE = 0x43;
constexpr unsigned char KRV_CMD_SEND_UPDATE_BRD = 0x44;
constexpr unsigned char KRV_CMD_RETURN_SERIALNR = 0x45;
constexpr unsigned char KRV_CMD_RETURN_BUSADDRESS = 0x46;
constexpr unsigned char KRV_CMD_SEND_TRADEMARK = 0x47;
constexpr unsigned char KRV_CMD_SEND_EE_MOVES = 0x49;
constexpr unsigned char KRV_CMD_SEND_UPDATE_NICE = 0x4B;
constexpr unsigned char KRV_CMD_SEND_BATTERY_STATUS = 0x4C;
constexpr unsigned char KRV_CMD_SEND_VERSION = 0x4D;

// Sub-commands of the clock, sent in byte 3 of every clock command.
constexpr unsigned char KRV_CLOCK_DISPLAY = 0x01;
constexpr unsigned char KRV_CLOCK_END_MESSAGE = 0x03;
constexpr unsigned char KRV_CLOCK_VERSION = 0x09;
constexpr unsigned char KRV_CLOCK_SET_N_RUN = 0x0A;
constexpr unsigned char KRV_CLOCK_BEEP = 0x0B;

// Seven-segment pattern of each character byte on the clock display.
// Bit 0 top, 1 upper right, 2 lower right, 3 bottom, 4 lower left,
// 5 upper left, 6 middle. 0x49 (top, middle, bottom) marks a character
// without a glyph.
inline constexpr unsigned char clockSegmentTable[256] = {
    /* 0x00 */ 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49,
    /* 0x10 */ 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49,
    /* 0x20 */ 0x00, 0x6B, 0x22, 0x5C, 0x4C, 0x49, 0x49, 0x02, 0x39, 0x0F, 0x49, 0x70, 0x20, 0x40, 0x00, 0x52,
    /* 0x30 */ 0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F, 0x49, 0x11, 0x58, 0x48, 0x4C, 0x53,
    /* 0x40 */ 0x49, 0x77, 0x7F, 0x39, 0x5E, 0x79, 0x71, 0x3D, 0x76, 0x06, 0x1E, 0x76, 0x38, 0x33, 0x37, 0x3F,
    /* 0x50 */ 0x73, 0x67, 0x31, 0x6D, 0x78, 0x3E, 0x3E, 0x3C, 0x76, 0x6E, 0x5B, 0x39, 0x64, 0x0F, 0x49, 0x08,
    /* 0x60 */ 0x49, 0x77, 0x7C, 0x58, 0x5E, 0x79, 0x71, 0x3D, 0x74, 0x04, 0x0C, 0x76, 0x30, 0x33, 0x54, 0x5C,
    /* 0x70 */ 0x73, 0x67, 0x50, 0x4C, 0x78, 0x1C, 0x1C, 0x3C, 0x76, 0x6E, 0x5B, 0x0F, 0x30, 0x39, 0x01, 0x49,
    /* 0x80 */ 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x10, 0x49, 0x10, 0x49, 0x49,
    /* 0x90 */ 0x49, 0x49, 0x49, 0x5D, 0x5D, 0x5D, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49,
    /* 0xA0 */ 0x49, 0x6B, 0x5D, 0x49, 0x63, 0x49, 0x49, 0x49, 0x22, 0x49, 0x49, 0x49, 0x44, 0x42, 0x49, 0x49,
    /* 0xB0 */ 0x49, 0x49, 0x49, 0x49, 0x49, 0x72, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49,
    /* 0xC0 */ 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49,
    /* 0xD0 */ 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49,
    /* 0xE0 */ 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49,
    /* 0xF0 */ 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x63, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49,
};

class Command {
public:
    Command(short code, short size) : code(code), size(size) {}
    virtual unsigned char* getData() = 0;
    virtual ~Command() {}

    short code;  // the command code, equal to the first byte sent
    short size;  // number of bytes getData() holds
};

// The twelve requests that consist of their command byte alone.
#define BOARDIO_SINGLE_BYTE_COMMAND(ClassName, commandCode)         \
    class ClassName : public Command {                              \
    public:                                                         \
        ClassName() : Command(commandCode, 1), data{commandCode} {} \
        unsigned char* getData() override { return data; }          \
        unsigned char data[1];                                      \
    };

BOARDIO_SINGLE_BYTE_COMMAND(CmdSendReset, KRV_CMD_SEND_RESET)
BOARDIO_SINGLE_BYTE_COMMAND(CmdSendClk, KRV_CMD_SEND_CLK)
BOARDIO_SINGLE_BYTE_COMMAND(CmdSendBrd, KRV_CMD_SEND_BRD)
BOARDIO_SINGLE_BYTE_COMMAND(CmdSendUpdate, KRV_CMD_SEND_UPDATE)
BOARDIO_SINGLE_BYTE_COMMAND(CmdSendUpdateBrd, KRV_CMD_SEND_UPDATE_BRD)
BOARDIO_SINGLE_BYTE_COMMAND(CmdReturnSerialNr, KRV_CMD_RETURN_SERIALNR)
BOARDIO_SINGLE_BYTE_COMMAND(CmdReturnBusAddress, KRV_CMD_RETURN_BUSADDRESS)
BOARDIO_SINGLE_BYTE_COMMAND(CmdSendTrademark, KRV_CMD_SEND_TRADEMARK)
BOARDIO_SINGLE_BYTE_COMMAND(CmdSendEEMoves, KRV_CMD_SEND_EE_MOVES)
BOARDIO_SINGLE_BYTE_COMMAND(CmdSendUpdateNice, KRV_CMD_SEND_UPDATE_NICE)
BOARDIO_SINGLE_BYTE_COMMAND(CmdSendBatteryStatus, KRV_CMD_SEND_BATTERY_STATUS)
BOARDIO_SINGLE_BYTE_COMMAND(CmdSendVersion, KRV_CMD_SEND_VERSION)

#undef BOARDIO_SINGLE_BYTE_COMMAND

// Clock commands share one layout: the code, the count of bytes after byte 1,
// the start byte 0x03, the sub-command, then its parameters.

// Shows up to six characters on the clock display.
class CmdClockMessage : public Command {
public:
    // The "no text" display: six glyph-less characters and a short beep.
    CmdClockMessage()
        : Command(KRV_CMD_CLOCK_MESSAGE, 13),
          dots(0),
          beep(1),
          data{KRV_CMD_CLOCK_MESSAGE, 0x0B, 0x03, KRV_CLOCK_DISPLAY, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49,
               0x00, 0x01, 0x00} {}

    CmdClockMessage(const std::string& text, int dots, bool beepFlag)
        : Command(KRV_CMD_CLOCK_MESSAGE, 13), text(text), dots(dots & 0x3F), beep(beepFlag ? 3 : 0), data{} {
        data[0] = KRV_CMD_CLOCK_MESSAGE;
        data[1] = 0x0B;
        data[2] = 0x03;
        data[3] = KRV_CLOCK_DISPLAY;
        // Each half of the display is sent right to left.
        static constexpr std::string::size_type order[6] = {2, 1, 0, 5, 4, 3};
        for (int i = 0; i < 6; ++i) {
            const std::string::size_type position = order[i];
            data[4 + i] = position < text.size()
                              ? clockSegmentTable[static_cast<unsigned char>(text[position])] & 0x7F
                              : clockSegmentTable[static_cast<unsigned char>(' ')];
        }
        data[10] = static_cast<unsigned char>(this->dots);
        data[11] = static_cast<unsigned char>(beep);
        data[12] = 0x00;
    }

    unsigned char* getData() override { return data; }

    std::string text;
    int dots;
    int beep;
    unsigned char data[13];
};

// Clears the display and its dots: a display message whose every parameter
// byte is 0, so the clock shows no digit, no dot and gives no beep.
class CmdClockIcons : public Command {
public:
    CmdClockIcons()
        : Command(KRV_CMD_CLOCK_MESSAGE, 13),
          data{KRV_CMD_CLOCK_MESSAGE, 0x0B, 0x03, KRV_CLOCK_DISPLAY, 0, 0, 0, 0, 0, 0, 0, 0, 0} {}
    unsigned char* getData() override { return data; }
    unsigned char data[13];
};

// Sets both clock times and starts the clock in a mode.
class CmdClockSetNRun : public Command {
public:
    CmdClockSetNRun() : Command(KRV_CMD_CLOCK_MESSAGE, 11), side1{0, 10, 0}, side2{0, 10, 0}, runMode(23), data{} {
        data[0] = KRV_CMD_CLOCK_MESSAGE;
        data[1] = 0x09;
        data[2] = 0x03;
        data[3] = KRV_CLOCK_SET_N_RUN;
        for (int i = 0; i < 3; ++i) {
            data[4 + i] = static_cast<unsigned char>(side1[i] & 0xFF);
            data[7 + i] = static_cast<unsigned char>(side2[i] & 0xFF);
        }
        data[10] = static_cast<unsigned char>(runMode & 0x0F);
    }
    unsigned char* getData() override { return data; }

    int side1[3];
    int side2[3];
    int runMode;
    unsigned char data[11];
};

// Beeps; beepTime 0 to 15 fills the upper four bits of the beep byte.
class CmdClockBeep : public Command {
public:
    explicit CmdClockBeep(int beepTime)
        : Command(KRV_CMD_CLOCK_MESSAGE, 5),
          beepTime(beepTime),
          data{KRV_CMD_CLOCK_MESSAGE, 0x03, 0x03, KRV_CLOCK_BEEP,
               static_cast<unsigned char>((static_cast<unsigned>(beepTime) << 4) & 0xFF)} {}
    unsigned char* getData() override { return data; }

    int beepTime;
    unsigned char data[5];
};

class CmdEndClockMessage : public Command {
public:
    CmdEndClockMessage() : Command(KRV_CMD_CLOCK_MESSAGE, 4), data{KRV_CMD_CLOCK_MESSAGE, 0x02, 0x03, KRV_CLOCK_END_MESSAGE} {}
    unsigned char* getData() override { return data; }
    unsigned char data[4];
};

class CmdClockVersion : public Command {
public:
    CmdClockVersion() : Command(KRV_CMD_CLOCK_MESSAGE, 4), data{KRV_CMD_CLOCK_MESSAGE, 0x02, 0x03, KRV_CLOCK_VERSION} {}
    unsigned char* getData() override { return data; }
    unsigned char data[4];
};

}  // namespace krvEBLowLevel

#endif
