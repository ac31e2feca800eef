// The factory step createMessage: key table, ignored top bit,
// dropped keys, the rejected field update, and ownership of the result.

#include <gtest/gtest.h>

#include <exception>
#include <map>
#include <memory>
#include <string>
#include <type_traits>
#include <typeindex>
#include <typeinfo>

#include "boardio/messages.h"
#include "message_frames.h"

using namespace krvEBLowLevel;
using frames::Frame;

namespace {

static_assert(std::is_base_of<std::bad_exception, IncorrectMessageLength>::value,
              "IncorrectMessageLength is a std::bad_exception");
static_assert(std::has_virtual_destructor<Message>::value, "messages are deleted through Message*");

// The key table: key -> class built and the id it stores.
struct Built {
    std::type_index type;
    int id;
};

const std::map<int, Built>& keyTable() {
    static const std::map<int, Built> table = {
        {6, {typeid(MsgBoardDump), 6}},   {13, {typeid(MsgBWTime), 13}},        {14, {typeid(MsgFieldUpdate), 14}},
        {15, {typeid(MsgEEMoves), 15}},   {16, {typeid(MsgBusAddress), 16}},    {17, {typeid(MsgSerialNumber), 17}},
        {18, {typeid(MsgTrademark), 18}}, {19, {typeid(MsgVersion), 19}},       {20, {typeid(MsgBoardDump), 6}},
        {21, {typeid(MsgBoardDump), 6}},  {32, {typeid(MsgBatteryStatus), 32}}, {33, {typeid(MsgLongSerialNumber), 33}},
        {127, {typeid(MsgError), 127}},
    };
    return table;
}

class EveryKey : public ::testing::TestWithParam<int> {};

TEST_P(EveryKey, BuildsTheListedClassOrNothing) {
    const int key = GetParam();
    for (int topBit : {0x80, 0x00}) {
        // Size 5 suits every class, the field update included.
        Frame frame = frames::make(static_cast<unsigned char>(key | topBit), 5, {1, 2});
        std::shared_ptr<Message> message = createMessage(frame.data());
        auto listed = keyTable().find(key);
        if (listed == keyTable().end()) {
            EXPECT_FALSE(message) << "key " << key;
            continue;
        }
        ASSERT_TRUE(message) << "key " << key << " top bit " << topBit;
        EXPECT_EQ(std::type_index(typeid(*message)), listed->second.type) << "key " << key;
        EXPECT_EQ(message->id, listed->second.id) << "key " << key;
        EXPECT_EQ(message->getSize(), 5);
        EXPECT_EQ(message.use_count(), 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Factory, EveryKey, ::testing::Range(0, 128));

TEST(Factory, BoardDumpIdBytes) {
    const struct {
        unsigned char idByte;
        short firstStored;
    } cases[] = {{134, 6}, {6, 6}, {148, 20}, {149, 21}};
    for (const auto& c : cases) {
        Frame frame = frames::make(c.idByte, 6, {1, 7, 0});
        auto message = createMessage(frame.data());
        ASSERT_TRUE(message);
        auto* dump = dynamic_cast<MsgBoardDump*>(message.get());
        ASSERT_NE(dump, nullptr);
        EXPECT_EQ(dump->id, 6);
        EXPECT_EQ(dump->raw[0], c.firstStored);
        std::string text;
        dump->getText(text);
        EXPECT_EQ(text, "Pp.");
    }
}

TEST(Factory, DropsUnlistedKeys) {
    for (unsigned char idByte : {0x87, 0x96, 0xFE, 0x07, 0x80, 0x9F, 0xA2}) {
        Frame frame = frames::make(idByte, 5, {1, 2});
        EXPECT_FALSE(createMessage(frame.data())) << int(idByte);
    }
}

TEST(Factory, RejectedFieldUpdateGivesNoMessage) {
    for (int size : {0, 4, 6, 16383}) {
        Frame frame = frames::make(0x8E, size, {23, 1});
        EXPECT_NO_THROW(EXPECT_FALSE(createMessage(frame.data())) << size);
    }
    Frame good = frames::make(0x8E, 5, {23, 1});
    auto message = createMessage(good.data());
    ASSERT_TRUE(message);
    std::string text;
    message->getText(text);
    EXPECT_EQ(text, "023P");
}

TEST(Factory, FieldUpdateConstructorThrowsTheLengthText) {
    Frame frame = frames::make(0x8E, 6, {23, 1, 0});
    try {
        MsgFieldUpdate message(frame.data());
        FAIL() << "no exception";
    } catch (const IncorrectMessageLength& e) {
        EXPECT_STREQ(e.what(), "MsgFieldUpdate: Incorrect message length!");
    }
    IncorrectMessageLength direct;
    const std::bad_exception& base = direct;
    EXPECT_STREQ(base.what(), "MsgFieldUpdate: Incorrect message length!");
}

TEST(Factory, NullFrameGivesNoMessage) { EXPECT_FALSE(createMessage(nullptr)); }

TEST(Factory, OverlongFramesOfEveryKey) {
    for (const auto& entry : keyTable()) {
        Frame frame = frames::overlong(static_cast<unsigned char>(entry.first | 0x80), 'A');
        auto message = createMessage(frame.data());
        if (entry.first == 14) {
            EXPECT_FALSE(message);
            continue;
        }
        ASSERT_TRUE(message) << entry.first;
        EXPECT_EQ(message->getSize(), 16383);
        std::string out;
        message->getText(out);
        message->getHexDump(out);
        std::vector<short> raw(16000);
        message->getRawData(raw.data());
    }
}

TEST(Factory, ErrorMessageOutlivesTheFrameAndIsFreedAsItsClass) {
    std::shared_ptr<Message> kept;
    {
        Frame frame = frames::withText(0xFF, "004 Could not read data: " + std::string(200, 'x'));
        kept = createMessage(frame.data());
    }
    ASSERT_TRUE(kept);
    std::string text;
    kept->getText(text);
    EXPECT_EQ(text, "ERROR: 255 : 004 Could not read data: " + std::string(200, 'x'));
    std::shared_ptr<Message> second = kept;
    EXPECT_EQ(kept.use_count(), 2);
    kept.reset();
    second->getHexDump(text);
    EXPECT_EQ(text, "ERROR: 255 : 004 Could not read data: " + std::string(200, 'x'));
    // The last holder frees it (LeakSanitizer checks the string goes too).
}

}  // namespace
