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
        // Anything else names no device: a program cannot open a path.
        {"COM0", nullptr},
        {"COM", nullptr},
        {"cOM4", nullptr},
        {"COM4 ", nullptr},
        {"COM4 the board", nullptr},
        {"COM4a", nullptr},
        {"COM-1", nullptr},
        {"COM1234567890", nullptr},
        {"COM3/../x", nullptr},
        {"/dev/pts/3", nullptr},
        {"", nullptr},
    };
    for (const Case& c : cases) {
        const std::optional<std::string> device = names.resolve(c.portText);
        EXPECT_EQ(device, c.device ? std::optional<std::string>(c.device) : std::nullopt) << c.portText;
    }
}

TEST(PortNamesTest, RulesNeedANameAndADevice) {
    PortNames names;
    for (const char* bad : {"", "COM3", "=/dev/ttyUSB0", "COM3="}) EXPECT_FALSE(names.addRule(bad)) << bad;
    EXPECT_TRUE(names.addRule("COM3=/dev/odd=name"));
    EXPECT_EQ(names.resolve("COM3"), "/dev/odd=name");
}

}  // namespace
