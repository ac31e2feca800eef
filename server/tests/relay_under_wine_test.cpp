// damrelay.exe, the Windows build, under Wine from end to end: a virtual
// board on a pseudo-terminal that Wine shows as a COM port, and a draughts
// program on loopback TCP. It runs when DAMRELAY_WINDOWS_RELAY names the
// program and WINEPREFIX a Wine prefix whose wineserver is up
// (scripts/windows.sh); elsewhere it is skipped.
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include <gmock/gmock.h>

#include "relay_fixture.h"

namespace {

using namespace std::chrono_literals;
using namespace testing_support;
using ::testing::StartsWith;
namespace fs = std::filesystem;

// COM1 to COM4 may exist in a fresh prefix; this one is the board's alone.
const std::string boardPort = "COM9";

// Wine's first start in a process tree takes seconds: every wait is long.
constexpr auto wineStart = 60s;
constexpr auto reply = 20s;

class RelayUnderWineTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* relayPath = std::getenv("DAMRELAY_WINDOWS_RELAY");
        const char* prefix = std::getenv("WINEPREFIX");
        if (relayPath == nullptr || prefix == nullptr) GTEST_SKIP() << "DAMRELAY_WINDOWS_RELAY and WINEPREFIX not set";
        relay = relayPath;
        // Wine opens COMn through the link of that name in the prefix, which
        // the board keeps pointing at its device, as a replugged board.
        const fs::path portLink = fs::path(prefix) / "dosdevices" / "com9";
        std::error_code ignored;
        fs::remove(portLink, ignored);
        board = std::make_unique<VirtualBoard>(portLink.string());
    }

    std::unique_ptr<RelayProcess> startRelay() const {
        const char* wine = std::getenv("DAMRELAY_WINE");
        return std::make_unique<RelayProcess>(std::vector<std::string>{"--listen", "127.0.0.1", std::to_string(port)},
                                              std::vector<std::string>{wine ? wine : "/usr/bin/wine", relay});
    }

    std::unique_ptr<VirtualBoard> board;
    const int port = freeTcpPort();
    std::string relay;
};

TEST_F(RelayUnderWineTest, GreetsConnectsTheComPortRelaysBothWaysReconnectsAndEndsWithZero) {
    const std::unique_ptr<RelayProcess> relayProcess = startRelay();
    ProgramClient program(port, wineStart);
    ASSERT_TRUE(program.connected()) << relayProcess->console();
    ASSERT_EQ(program.readLine(reply), greeting);

    // The port is the first relay's alone: a second one is refused it.
    const std::unique_ptr<RelayProcess> second = startRelay();
    EXPECT_EQ(second->waitForExit(wineStart), 1);
    // The console is in text mode there: its lines end in CR LF.
    EXPECT_TRUE(second->waitForConsole("*** error: INVALID_SOCKET: 127.0.0.1 port " + std::to_string(port) + ": "))
        << second->console();

    program.sendLine(boardPort);
    ASSERT_EQ(program.readLine(reply), "CONN") << relayProcess->console();
    program.sendLine("66");
    EXPECT_EQ(board->read(1, reply), Bytes{0x42});
    const Bytes update = fieldUpdate(23, 0x0A);
    board->writeBytes(update);
    EXPECT_EQ(program.readLine(reply), textOf(update));

    // The cable is pulled and put back: the program hears of the failed
    // read, and its next request reopens the port and reaches the board.
    board->unplug();
    EXPECT_THAT(program.readLine(reply).value_or(""), StartsWith("ERROR: 255 : 00")) << relayProcess->console();
    board->replug();
    program.sendLine("66");
    ASSERT_TRUE(board->waitForHost(reply)) << relayProcess->console();
    EXPECT_EQ(board->read(1, reply), Bytes{0x42});
    board->writeBytes(update);
    EXPECT_EQ(program.readLine(reply), textOf(update)) << "and nothing came before it";

    program.sendLine("DISC");
    EXPECT_EQ(program.readLine(reply), "DISCONN");
    program.close();
    EXPECT_EQ(relayProcess->waitForExit(wineStart), 0);
    EXPECT_TRUE(relayProcess->waitForConsole("Message Listener stopped\r\n")) << relayProcess->console();
}

}  // namespace
