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
        {{"--map", "com1=b", "--map=COM2=d", "7"}, 7, "", false},
        {{"--listen", "127.0.0.1", "--map", "COM1=b"}, 50000, "", false, "127.0.0.1"},
        {{"--listen=::1", "50000", "/dev/ttyUSB0"}, 50000, "/dev/ttyUSB0", true, "::1"},
    };
    for (const Case& c : cases) {
        std::string error;
        const std::optional<StartupSettings> settings = parseCommandLine(c.arguments, error);
        ASSERT_TRUE(settings) << ::testing::PrintToString(c.arguments) << error;
        EXPECT_FALSE(settings->help || settings->version);
        EXPECT_EQ(settings->listen.port, c.socketPort);
        EXPECT_EQ(settings->listen.address, c.listenAddress);
        EXPECT_EQ(settings->comPort, c.comPort);
        EXPECT_EQ(settings->confirmExit, c.confirmExit);
    }
}

TEST(CommandLineTest, ErrorsSayWhatIsWrong) {
    const std::pair<Arguments, const char*> cases[] = {
        {{"abc"}, "socket port 'abc': give a number from 1 to 65535"},
        {{"0"}, "socket port '0': give a number from 1 to 65535"},
        {{""}, "socket port '': give a number from 1 to 65535"},
        {{"-1"}, "socket port '-1': give a number from 1 to 65535"},
        {{"65536"}, "socket port '65536': give a number from 1 to 65535"},
        {{"99999999999999999999"}, "socket port '99999999999999999999': give a number from 1 to 65535"},
        {{"1", "2", "3"}, "too many arguments: '3' is a third one"},
        {{"1", "--map", "COM1=b"}, "'--map' comes too late: options go before the socket port"},
        {{"--bogus", "1"}, "unknown option '--bogus'"},
        {{"--listen\x1b=1"}, "unknown option '--listen\\x1B'"},
        {{"--map"}, "--map needs a value"},
        {{"--listen"}, "--listen needs a value"},
        {{"--map", "COM3"}, "--map 'COM3': give COM<n>=<device>, for example --map COM3=/dev/ttyUSB0"},
        {{"--map", "COM3=", "1"}, "--map 'COM3=': give COM<n>=<device>, for example --map COM3=/dev/ttyUSB0"},
        {{"--map=board=/dev/x"}, "--map 'board=/dev/x': give COM<n>=<device>, for example --map COM3=/dev/ttyUSB0"},
        {{"--listen=x"}, "--listen 'x': give an IPv4 or IPv6 address, for example --listen 127.0.0.1"},
        {{"--listen", "localhost:1"},
         "--listen 'localhost:1': give an IPv4 or IPv6 address, for example --listen 127.0.0.1"},
        {{"--listen", "300.1.1.1", "1"},
         "--listen '300.1.1.1': give an IPv4 or IPv6 address, for example --listen 127.0.0.1"},
        {{"--record"}, "--record needs a value"},
        {{"--record", "", "1"}, "--record needs a file name, for example --record session.rec"},
    };
    for (const auto& [arguments, message] : cases) {
        std::string error;
        EXPECT_FALSE(parseCommandLine(arguments, error)) << ::testing::PrintToString(arguments);
        EXPECT_EQ(error, message);
    }
}

TEST(CommandLineTest, HelpAndVersionWinOverEverythingElse) {
    std::string error;
    EXPECT_TRUE(parseCommandLine({"--bogus", "1", "2", "-h"}, error).value_or(StartupSettings()).help);
    EXPECT_TRUE(parseCommandLine({"0", "--version"}, error).value_or(StartupSettings()).version);
}

TEST(CommandLineTest, RecordNamesTheFileAmongTheOtherOptions) {
    std::string error;
    const std::optional<StartupSettings> settings =
        parseCommandLine({"--map", "COM3=/dev/ttyUSB0", "--record", "session.rec", "50000", "COM3"}, error);
    ASSERT_TRUE(settings) << error;
    EXPECT_EQ(settings->recordFile, "session.rec");
    EXPECT_EQ(settings->comPort, "COM3");
    EXPECT_EQ(parseCommandLine({"--record=s.rec"}, error).value_or(StartupSettings()).recordFile, "s.rec");
    EXPECT_EQ(parseCommandLine({}, error)->recordFile, "");
}

TEST(CommandLineTest, MapRulesReachThePortNames) {
    std::string error;
    const std::optional<StartupSettings> settings = parseCommandLine({"--map", "COM3=/dev/ttyUSB0", "50000"}, error);
    ASSERT_TRUE(settings);
    EXPECT_EQ(settings->portNames.resolve("com3"), "/dev/ttyUSB0");
    // A port without a rule keeps the system's own device.
    EXPECT_EQ(settings->portNames.resolve("COM4"), PortNames().resolve("COM4"));
    EXPECT_TRUE(settings->portNames.resolve("COM4"));
}

}  // namespace
