// The socket layer and the line transport to the draughts program.
#include "program_connection.h"

#include <gtest/gtest.h>
#include <netinet/tcp.h>

#include <atomic>
#include <memory>
#include <sstream>
#include <thread>
#include <vector>

#include "console.h"
#include "program_client.h"
#include "socket.h"

namespace {

using namespace std::chrono_literals;
using testing_support::localPort;
using testing_support::ProgramClient;

// A draughts program connected to a listener on a port of the kernel's
// choice, its connection installed as the program's connection.
class ProgramConnectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        redirectConsole(&log);
        connect();
    }
    void TearDown() override {
        endProgramConnection();
        redirectConsole(nullptr);
    }

    void connect() {
        endProgramConnection();
        client.reset();
        server = std::make_unique<SocketServer>(0);
        client = std::make_unique<ProgramClient>(localPort(server->handle));
        ASSERT_TRUE(client->connected());
        setProgramSocket(server->accept());
        ASSERT_TRUE(hasProgramSocket());
    }

    std::ostringstream log;
    std::unique_ptr<SocketServer> server;
    std::unique_ptr<ProgramClient> client;
};

TEST_F(ProgramConnectionTest, ReceiveLineReturnsEachLineWithItsLineFeed) {
    const std::string longLine(maxRequestLineLength + 100, 'a');
    struct Case {
        const char* what;
        std::string sent;
        bool closeAfter;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"two lines in one segment", "EXIT\nDISC\n", false, {"EXIT\n", "DISC\n"}},
        {"carriage return kept", "66\r\n", false, {"66\r\n"}},
        {"partial last line, then the end", "64\n43", true, {"64\n", "43", ""}},
        {"end without data", "", true, {""}},
        {"line of exactly the cap",
         std::string(maxRequestLineLength, 'b') + "\n66\n",
         false,
         {std::string(maxRequestLineLength, 'b') + "\n", "66\n"}},
        {"over-long line cut, rest discarded",
         longLine + "\n66\n",
         false,
         {std::string(maxRequestLineLength, 'a') + "\n", "66\n"}},
        {"over-long line cut at the end", longLine, true, {std::string(maxRequestLineLength, 'a'), ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        connect();
        client->send(c.sent);
        if (c.closeAfter) client->close();
        for (const std::string& expected : c.lines) {
            const std::string line = receiveLine();
            EXPECT_EQ(line.size(), expected.size());
            EXPECT_TRUE(line == expected);
        }
    }
}

TEST_F(ProgramConnectionTest, LineLargerThanTheSocketBufferArrivesWhole) {
    const std::string text(4 * 1024 * 1024, 'x');
    bool sent = false;
    std::thread sender([&] { sent = sendLine(text); });
    const std::optional<std::string> line = client->readLine(20s);
    sender.join();
    EXPECT_TRUE(sent);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->size(), text.size());
}

TEST_F(ProgramConnectionTest, LinesFromSeveralThreadsStayWholeAndInOrder) {
    constexpr int threadCount = 4;
    constexpr int linesPerThread = 40;
    // Lines larger than the socket buffers, sent while the program does not
    // read yet: every send blocks part way through its line.
    const std::string padding(256 * 1024, '.');
    std::vector<std::thread> senders;
    for (int t = 0; t < threadCount; ++t) {
        senders.emplace_back([&, t] {
            for (int i = 0; i < linesPerThread; ++i) sendLine(std::to_string(t) + " " + std::to_string(i) + padding);
        });
    }
    std::this_thread::sleep_for(200ms);
    const auto readEveryLine = [&] {
        int next[threadCount] = {};
        for (int received = 0; received < threadCount * linesPerThread; ++received) {
            const std::optional<std::string> line = client->readLine(20s);
            ASSERT_TRUE(line) << "after " << received << " lines";
            int t = -1, i = -1;
            ASSERT_EQ(std::sscanf(line->c_str(), "%d %d", &t, &i), 2) << line->substr(0, 40);
            ASSERT_TRUE(t >= 0 && t < threadCount) << line->substr(0, 40);
            ASSERT_EQ(i, next[t]++);
            ASSERT_EQ(line->size(), std::to_string(t).size() + 1 + std::to_string(i).size() + padding.size());
        }
    };
    readEveryLine();
    endProgramConnection();  // releases senders still blocked after a failure
    for (std::thread& sender : senders) sender.join();

    // Each log line is whole too.
    std::istringstream logLines(log.str());
    int logged = 0;
    for (std::string entry; std::getline(logLines, entry); ++logged) {
        ASSERT_EQ(entry.rfind("send: '", 0), 0u) << entry.substr(0, 40);
        ASSERT_EQ(entry.substr(entry.size() - padding.size() - 1), padding + "'");
    }
    EXPECT_EQ(logged, threadCount * linesPerThread);
}

TEST_F(ProgramConnectionTest, TheGreetingIsTheFirstLineWhateverOtherThreadsSend) {
    // As in auto-connect mode: the board's thread sends lines from before the
    // program is there, and none of them may overtake the greeting.
    endProgramConnection();
    server = std::make_unique<SocketServer>(0);
    client = std::make_unique<ProgramClient>(localPort(server->handle));
    ASSERT_TRUE(client->connected());
    Socket* accepted = server->accept();
    std::atomic<bool> sending{true};
    std::thread board([&] {
        while (sending) sendLine("023P");
    });
    std::this_thread::sleep_for(10ms);
    setProgramSocket(accepted, "#hello");
    EXPECT_EQ(client->readLine(), std::optional<std::string>("#hello"));
    EXPECT_EQ(client->readLine(), std::optional<std::string>("023P"));
    sending = false;
    board.join();
}

TEST_F(ProgramConnectionTest, EndingTheConnectionWhileOtherThreadsSendIsSafe) {
    std::atomic<int> sent{0};
    std::vector<std::thread> senders;
    for (int t = 0; t < 3; ++t) {
        senders.emplace_back([&] {
            while (sendLine("023P")) ++sent;
        });
    }
    while (sent < 100) std::this_thread::yield();
    endProgramConnection();
    for (std::thread& sender : senders) sender.join();
    EXPECT_FALSE(hasProgramSocket());
    EXPECT_FALSE(sendLine("after the end"));
    EXPECT_EQ(receiveLine(), "");
}

TEST_F(ProgramConnectionTest, EndingTheConnectionReleasesASendBlockedOnAProgramThatDoesNotRead) {
    // The program never reads: the send fills every buffer and blocks.
    std::atomic<bool> finished{false};
    bool sent = true;
    std::thread sender([&] {
        sent = sendLine(std::string(64 * 1024 * 1024, 'x'));
        finished = true;
    });
    std::this_thread::sleep_for(200ms);
    EXPECT_FALSE(finished);
    endProgramConnection();
    sender.join();
    EXPECT_FALSE(sent);
}

TEST_F(ProgramConnectionTest, SendingToAProgramThatWentAwayFailsWithoutEndingTheProcess) {
    client->reset();
    // The first send after the reset may fail with the reset itself; the
    // ones after it meet a broken connection.
    bool sent = true;
    for (int attempt = 0; attempt < 20; ++attempt) {
        sent = sendLine("023P");
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_FALSE(sent);
}

TEST(SocketServerTest, PortHeldByAnotherListenerIsRefused) {
    const SocketServer first(0);
    try {
        SocketServer second(localPort(first.handle));
        FAIL() << "a second listener got the port";
    } catch (const SocketError& error) {
        EXPECT_STREQ(error.what(), "INVALID_SOCKET");
    }
}

TEST(SocketServerTest, PortCanBeHadAgainAtOnceAfterTheRelayClosedItsConnection) {
    auto server = std::make_unique<SocketServer>(0);
    const int port = localPort(server->handle);
    ProgramClient client(port);
    std::unique_ptr<Socket> connection(server->accept());
    ASSERT_TRUE(connection);

    int noDelay = 0;
    socklen_t length = sizeof noDelay;
    ::getsockopt(connection->handle, IPPROTO_TCP, TCP_NODELAY, &noDelay, &length);
    EXPECT_NE(noDelay, 0);

    // The relay closes first, as after "EXIT"; its side of the connection
    // lingers on the port.
    connection.reset();
    EXPECT_TRUE(client.waitForClose());
    client.close();
    server.reset();
    EXPECT_NO_THROW(SocketServer again(port));
}

}  // namespace
