#ifndef BOARDIO_MESSAGES_H
#define BOARDIO_MESSAGES_H

// Board-to-host messages. Each decodes one frame (id byte, two 7-bit size
// bytes, payload; at most frameCapacity bytes) in its constructor and keeps
// the decoded values; afterwards it only formats or copies them.
//
// Limits every decoder keeps: the frame buffer is frameCapacity bytes, so no
// decoder reads beyond its byte frameCapacity-1, whatever the size bytes say
// (`size` itself keeps the decoded value, 0 to 16383); no field is written
// beyond its capacity. Over-long frames are cut at the capacity of each field,
// and dumps and raw copies then give the values kept.

#include <exception>
#include <memory>
#include <string>

#include "export.h"

namespace krvEBLowLevel {

// The largest frame a board connection handles, header included.
constexpr int frameCapacity = 10000;

class BOARDIO_API Message {
public:
    Message(int id, int size) : id(id), size(size) {}
    virtual void getText(std::string& out) = 0;     // replaces out with the text form
    virtual void getHexDump(std::string& out) = 0;  // appends a hex dump of the kept frame bytes
    virtual void getRawData(short* out) = 0;        // copies kept frame bytes into out
    virtual Message* clone() = 0;                   // a heap copy the caller owns
    virtual int getSize() = 0;
    // Messages are owned through std::shared_ptr<Message> and destroyed as
    // their own class: the deleter that created the pointer knows it.
    virtual ~Message() = default;

    int id;
    int size;
};

// Thrown by MsgFieldUpdate for a frame that is not exactly 5 bytes long.
class BOARDIO_API IncorrectMessageLength : public std::bad_exception {
public:
    const char* what() const noexcept override;
};

// Whole board: one piece letter per recognised payload byte (keys 6, 20, 21).
class BOARDIO_API MsgBoardDump : public Message {
public:
    explicit MsgBoardDump(const unsigned char* frame);
    void getText(std::string& out) override;
    void getHexDump(std::string& out) override;
    void getRawData(short* out) override;
    Message* clone() override;
    int getSize() override;

    char pieces[201];
    short raw[200];
};

// One square changed (key 14).
class BOARDIO_API MsgFieldUpdate : public Message {
public:
    explicit MsgFieldUpdate(const unsigned char* frame);  // throws IncorrectMessageLength
    void getText(std::string& out) override;
    void getHexDump(std::string& out) override;
    void getRawData(short* out) override;
    Message* clone() override;
    int getSize() override;

    int square;
    char piece;  // '?' for a piece code above 15 (no letter)
    short raw[5];
};

// The board's stored moves memory (key 15).
class BOARDIO_API MsgEEMoves : public Message {
public:
    explicit MsgEEMoves(const unsigned char* frame);
    void getText(std::string& out) override;
    void getHexDump(std::string& out) override;
    void getRawData(short* out) override;
    Message* clone() override;
    int getSize() override;

    short raw[16000];
};

// Clock reading or clock acknowledgement (key 13).
class BOARDIO_API MsgBWTime : public Message {
public:
    explicit MsgBWTime(const unsigned char* frame);
    void getText(std::string& out) override;
    void getHexDump(std::string& out) override;
    void getRawData(short* out) override;
    Message* clone() override;
    int getSize() override;
    std::string describeAck();

    int side1Hours, side1Minutes, side1Seconds;
    int side2Hours, side2Minutes, side2Seconds;
    bool timesUnavailable;
    bool isAck;
    int ack[4];
    short raw[10];
};

class BOARDIO_API MsgBusAddress : public Message {  // key 16
public:
    explicit MsgBusAddress(const unsigned char* frame);
    void getText(std::string& out) override;
    void getHexDump(std::string& out) override;
    void getRawData(short* out) override;
    Message* clone() override;
    int getSize() override;

    int address;
    short raw[5];
};

class BOARDIO_API MsgSerialNumber : public Message {  // key 17
public:
    explicit MsgSerialNumber(const unsigned char* frame);
    void getText(std::string& out) override;
    void getHexDump(std::string& out) override;
    void getRawData(short* out) override;
    Message* clone() override;
    int getSize() override;

    char serialNumber[20];
    short raw[12];
};

class BOARDIO_API MsgTrademark : public Message {  // key 18
public:
    explicit MsgTrademark(const unsigned char* frame);
    void getText(std::string& out) override;
    void getHexDump(std::string& out) override;
    void getRawData(short* out) override;  // the first min(size, 1032) stored values
    Message* clone() override;
    int getSize() override;

    char trademark[1034];
    short raw[1032];
};

class BOARDIO_API MsgVersion : public Message {  // key 19
public:
    explicit MsgVersion(const unsigned char* frame);
    void getText(std::string& out) override;
    void getHexDump(std::string& out) override;
    void getRawData(short* out) override;
    Message* clone() override;
    int getSize() override;

    int major;
    int minor;
    short raw[5];
};

class BOARDIO_API MsgBatteryStatus : public Message {  // key 32
public:
    explicit MsgBatteryStatus(const unsigned char* frame);
    void getText(std::string& out) override;
    void getHexDump(std::string& out) override;
    void getRawData(short* out) override;
    Message* clone() override;
    int getSize() override;

    int percent;
    int hours;
    int minutes;
    short raw[12];
};

class BOARDIO_API MsgLongSerialNumber : public Message {  // key 33
public:
    explicit MsgLongSerialNumber(const unsigned char* frame);
    void getText(std::string& out) override;
    void getHexDump(std::string& out) override;
    void getRawData(short* out) override;
    Message* clone() override;
    int getSize() override;

    char serialNumber[30];
    short raw[13];
};

// The driver's own report of a link failure (key 127, id byte 0xFF).
class BOARDIO_API MsgError : public Message {
public:
    explicit MsgError(const unsigned char* frame);
    // The report of `text` (up to its first NUL, at most 255 characters),
    // sized as the frame it would have come in.
    explicit MsgError(const std::string& text);
    void getText(std::string& out) override;
    void getHexDump(std::string& out) override;  // replaces out with the text form
    void getRawData(short* out) override;
    Message* clone() override;
    int getSize() override;

    int errorCode;
    std::string errorText;
};

// Decodes one frame (a buffer of frameCapacity bytes) into its message, or
// returns an empty pointer for a type no class handles and for a frame the
// decoder rejects.
BOARDIO_API std::shared_ptr<Message> createMessage(const unsigned char* frame);

}  // namespace krvEBLowLevel

#endif
