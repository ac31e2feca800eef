// The relay's command line.
#include "startup.h"

#include <gtest/gtest.h>

namespace {

using Arguments = std::vector<std::string>;

TEST(CommandLineTest, SocketPortComPortAndMode) {
    struct Case {
        Arguments arguments;
        int socketPort;
        const char* comPort;
        bool confirmExit;
        const char* listenAddress = "0.0.0.0";
    };
    const Case cases[] = {
        {{}, 50000, "", false},
        {{"50001"}, 50001, "", false},
        {{"1"}, 1, "", false},
        {{"65535"}, 65535, "", false},
        {{"123abc"}, 123, "", false},
        {{" +42"}, 42, "", false},
        {{"50000", "COM3"}, 50000, "COM3", true},
        {{"50000", "5"}, 50000, "5", true},
        {{"50000", ""}, 50000, "", true},
        {{"--map", "COM3=/dev/ttyUSB0", "50000", "COM3"}, 50000, "COM3", true},
        {{"--map", "a=b", "--map", "c=d", "7"}, 7, "", false},
        {{"--listen", "127.0.0.1", "--map", "a=b"}, 50000, "", false, "127.0.0.1"},
        {{"--listen", "::1", "50000", "/dev/ttyUSB0"}, 50000, "/dev/ttyUSB0", true, "::1"},
    };
    for (const Case& c : cases) {
        const std::optional<StartupSettings> settings = parseCommandLine(c.arguments);
        ASSERT_TRUE(settings) << ::testing::PrintToString(c.arguments);
        EXPECT_EQ(settings->listen.port, c.socketPort);
        EXPECT_EQ(settings->listen.address, c.listenAddress);
        EXPECT_EQ(settings->comPort, c.comPort);
        EXPECT_EQ(settings->confirmExit, c.confirmExit);
    }
}

TEST(CommandLineTest, Errors) {
    const Arguments cases[] = {
        {"abc"},
        {"0"},
        {""},
        {"-1"},
        {"65536"},
        {"99999999999999999999"},
        {"1", "2", "3"},
        {"1", "--map", "a=b"},
        {"--map"},
        {"--map", "COM3"},
        {"--map", "COM3=", "1"},
        {"--listen"},
        {"--listen", "localhost:1"},
        {"--listen", "300.1.1.1", "1"},
        {"--record"},
        {"--record", "", "1"},
    };
    for (const Arguments& arguments : cases) {
        EXPECT_FALSE(parseCommandLine(arguments)) << ::testing::PrintToString(arguments);
    }
}

TEST(CommandLineTest, RecordNamesTheFileAmongTheOtherOptions) {
    const std::optional<StartupSettings> settings =
        parseCommandLine({"--map", "COM3=/dev/ttyUSB0", "--record", "session.rec", "50000", "COM3"});
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->recordFile, "session.rec");
    EXPECT_EQ(settings->comPort, "COM3");
    EXPECT_EQ(parseCommandLine({})->recordFile, "");
}

TEST(CommandLineTest, MapRulesReachThePortNames) {
    const std::optional<StartupSettings> settings = parseCommandLine({"--map", "COM3=/dev/ttyUSB0", "50000"});
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->portNames.resolve("com3"), "/dev/ttyUSB0");
    // A port without a rule keeps the system's own device.
    EXPECT_EQ(settings->portNames.resolve("COM4"), PortNames().resolve("COM4"));
    EXPECT_TRUE(settings->portNames.resolve("COM4"));
}

}  // namespace
