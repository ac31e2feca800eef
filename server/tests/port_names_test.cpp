// Port names draughts programs ask for, turned into serial devices.
#include "port_names.h"

#include <gtest/gtest.h>

namespace {

TEST(PortNamesTest, ComNamesOpenTheSerialDeviceUnlessARuleSaysOtherwise) {
    PortNames names;
    ASSERT_TRUE(names.addRule("COM3=/dev/ttyUSB0"));
    ASSERT_TRUE(names.addRule("board=/dev/serial/by-id/usb-board"));
    ASSERT_TRUE(names.addRule("COM3=/dev/ttyUSB1"));  // the later rule wins
    struct Case {
        const char* portText;
        const char* device;
    };
    const Case cases[] = {
        {"COM1", "/dev/ttyS0"},
        {"com2", "/dev/ttyS1"},
        {"Com10", "/dev/ttyS9"},
        {"COM007", "/dev/ttyS6"},
        {"COM3", "/dev/ttyUSB1"},
        {"cOm3", "/dev/ttyUSB1"},
        {"BOARD", "/dev/serial/by-id/usb-board"},
        {"COM0", "COM0"},
        {"COM", "COM"},
        {"cOM4", "cOM4"},
        {"COM4 ", "COM4 "},
        {"COM4 the board", "COM4 the board"},
        {"COM4a", "COM4a"},
        {"COM-1", "COM-1"},
        {"COM1234567890", "COM1234567890"},
        {"/dev/pts/3", "/dev/pts/3"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(names.resolve(c.portText), c.device) << c.portText;
}

TEST(PortNamesTest, RulesNeedANameAndADevice) {
    PortNames names;
    for (const char* bad : {"", "COM3", "=/dev/ttyUSB0", "COM3="}) EXPECT_FALSE(names.addRule(bad)) << bad;
    EXPECT_TRUE(names.addRule("COM3=/dev/odd=name"));
    EXPECT_EQ(names.resolve("COM3"), "/dev/odd=name");
}

}  // namespace
