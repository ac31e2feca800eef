// Port names draughts programs ask for, turned into serial devices.
#include "port_names.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

// The device the system itself has for COM<number>.
std::string comDevice(int number) {
#if defined(_WIN32)
    return "\\\\.\\COM" + std::to_string(number);
#else
    return "/dev/ttyS" + std::to_string(number - 1);
#endif
}

TEST(PortNamesTest, ComNamesOpenTheSerialDeviceUnlessARuleSaysOtherwise) {
    PortNames names;
    ASSERT_TRUE(names.addRule("COM3=/dev/ttyUSB0"));
    ASSERT_TRUE(names.addRule("cOm4=/dev/serial/by-id/usb-board"));
    ASSERT_TRUE(names.addRule("COM3=/dev/ttyUSB1"));  // the later rule wins
    struct Case {
        const char* portText;
        std::optional<std::string> device;
    };
    const Case cases[] = {
        {"COM1", comDevice(1)},
        {"com2", comDevice(2)},
        {"Com10", comDevice(10)},
        {"COM007", comDevice(7)},
        {"COM3", "/dev/ttyUSB1"},
        {"com03", "/dev/ttyUSB1"},
        {"COM4", "/dev/serial/by-id/usb-board"},
        // Anything else names no device: a program cannot open a path.
        {"COM0", std::nullopt},
        {"COM", std::nullopt},
        {"cOM4", std::nullopt},  // not a form a connect line has
        {"COM4 ", std::nullopt},
        {"COM4 the board", std::nullopt},
        {"COM4a", std::nullopt},
        {"COM-1", std::nullopt},
        {"COM1234567890", std::nullopt},
        {"COM3/../x", std::nullopt},
        {"/dev/pts/3", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) {
        const std::optional<std::string> device = names.resolve(c.portText);
        EXPECT_EQ(device, c.device) << c.portText;
    }
}

TEST(PortNamesTest, RulesNeedAComNameAndADevice) {
    PortNames names;
    for (const char* bad : {"", "COM3", "=/dev/ttyUSB0", "COM3=", "board=/dev/ttyUSB0", "COM0=/dev/x", "COM3 =/dev/x"}) {
        EXPECT_FALSE(names.addRule(bad)) << bad;
    }
    EXPECT_TRUE(names.addRule("COM3=/dev/odd=name"));
    EXPECT_EQ(names.resolve("COM3"), "/dev/odd=name");
}

}  // namespace
