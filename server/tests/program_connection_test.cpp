// The connection to the draughts program over a real TCP connection on
// loopback, with the session's loop on a thread of its own.
#include "program_connection.h"

#include <gtest/gtest.h>

#include <atomic>
#include <boost/asio/executor_work_guard.hpp>
#include <future>
#include <memory>
#include <sstream>
#include <thread>
#include <vector>

#include "console.h"
#include "program_client.h"
#include "socket_server.h"

namespace {

using namespace std::chrono_literals;
using testing_support::ProgramClient;

class ProgramConnectionTest : public ::testing::Test {
protected:
    void SetUp() override { redirectConsole(&log); }
    void TearDown() override {
        if (connection) boost::asio::post(io, [c = connection] { c->end(); });
        work.reset();
        if (loop.joinable()) loop.join();
        redirectConsole(nullptr);
    }

    // A program connected, its connection reading: lines go to received,
    // and ended is set once reading has stopped.
    void connect(std::size_t sendBound = defaultSendBound) {
        SocketServer server(io, "127.0.0.1", 0);
        client = std::make_unique<ProgramClient>(server.port());
        connection = std::make_shared<ProgramConnection>(server.accept(), sendBound);
        connection->start(
            [this](const std::string& line) {
                received.push_back(line);
                return line != "STOP";
            },
            [this] { ended.set_value(); });
        loop = std::thread([this] { io.run(); });
    }
    bool endedWithin(std::chrono::seconds patience) {
        return ended.get_future().wait_for(patience) == std::future_status::ready;
    }

    boost::asio::io_context io;
    std::unique_ptr<boost::asio::executor_work_guard<boost::asio::io_context::executor_type>> work{
        std::make_unique<boost::asio::executor_work_guard<boost::asio::io_context::executor_type>>(io.get_executor())};
    std::thread loop;
    std::ostringstream log;
    std::unique_ptr<ProgramClient> client;
    std::shared_ptr<ProgramConnection> connection;
    std::vector<std::string> received;  // session's thread; read once ended
    std::promise<void> ended;
};

TEST_F(ProgramConnectionTest, LinesArriveInOrderAndTheLastOneAlsoWithoutItsLineFeed) {
    connect();
    client->send("64\r\n#x\n");
    client->send("66\n43");
    client->close();
    ASSERT_TRUE(endedWithin(10s));
    EXPECT_EQ(received, (std::vector<std::string>{"64", "#x", "66", "43"}));
}

TEST_F(ProgramConnectionTest, ReadingStopsWhereTheSessionSaysSo) {
    connect();
    client->send("66\nSTOP\n77\n");
    ASSERT_TRUE(endedWithin(10s));
    EXPECT_EQ(received, (std::vector<std::string>{"66", "STOP"}));
    EXPECT_TRUE(client->waitForClose());
}

TEST_F(ProgramConnectionTest, LinesFromSeveralThreadsStayWholeAndInOrderPastFullSocketBuffers) {
    connect(64 * 1024 * 1024);
    constexpr int threadCount = 4;
    constexpr int linesPerThread = 200;
    // Sent while the program does not read yet: the socket buffers fill and
    // the rest waits in the connection.
    const std::string padding(16 * 1024, '.');
    std::vector<std::thread> senders;
    for (int t = 0; t < threadCount; ++t) {
        senders.emplace_back([&, t] {
            for (int i = 0; i < linesPerThread; ++i) {
                ASSERT_TRUE(connection->sendLine(std::to_string(t) + " " + std::to_string(i) + padding));
            }
        });
    }
    for (std::thread& sender : senders) sender.join();  // no sender waits for the program
    int next[threadCount] = {};
    for (int count = 0; count < threadCount * linesPerThread; ++count) {
        const std::optional<std::string> line = client->readLine(20s);
        ASSERT_TRUE(line) << "after " << count << " lines";
        int t = -1, i = -1;
        ASSERT_EQ(std::sscanf(line->c_str(), "%d %d", &t, &i), 2) << line->substr(0, 40);
        ASSERT_TRUE(t >= 0 && t < threadCount) << line->substr(0, 40);
        ASSERT_EQ(i, next[t]++);
        ASSERT_EQ(line->size(), std::to_string(t).size() + 1 + std::to_string(i).size() + padding.size());
    }
}

TEST_F(ProgramConnectionTest, AProgramThatStopsReadingIsDisconnectedAtTheBound) {
    const std::size_t bound = 256 * 1024;
    connect(bound);
    const std::string line(1000, 'x');
    int sent = 0;
    while (connection->sendLine(line)) {
        // The socket buffers take a few megabytes first; the bound then
        // keeps the rest from growing without end.
        ASSERT_LT(++sent, 100000);
    }
    EXPECT_FALSE(connection->sendLine("after the end"));
    ASSERT_TRUE(endedWithin(10s));
    flushConsole();
    EXPECT_NE(log.str().find("*** error: Draughts program does not read"), std::string::npos);
    // What came before the bound arrives whole, then the connection ends.
    int arrived = 0;
    while (const std::optional<std::string> got = client->readLine(2s)) {
        ASSERT_EQ(*got, line);
        ++arrived;
    }
    EXPECT_TRUE(client->waitForClose());
    EXPECT_LE(arrived, sent);
}

TEST_F(ProgramConnectionTest, AProgramThatWentAwayEndsTheConnectionWithoutEndingTheProcess) {
    connect();
    client->reset();
    ASSERT_TRUE(endedWithin(10s));
    EXPECT_FALSE(connection->sendLine("023P"));
}

TEST(SocketServerTest, PortHeldByAnotherListenerIsRefusedAndFreeAgainAtOnceAfterAClose) {
    boost::asio::io_context io;
    auto first = std::make_unique<SocketServer>(io, "0.0.0.0", 0);
    const unsigned short port = first->port();
    try {
        SocketServer second(io, "0.0.0.0", port);
        FAIL() << "a second listener got the port";
    } catch (const SocketError& error) {
        // The text scripts know first, then where and why.
        EXPECT_EQ(error.what(), "INVALID_SOCKET: 0.0.0.0 port " + std::to_string(port) + ": " +
                                    make_error_code(boost::system::errc::address_in_use).message());
    }
    // The relay closes first, as after "EXIT"; its side of the connection
    // lingers on the port.
    ProgramClient client(port);
    boost::asio::ip::tcp::socket accepted = first->accept();
    boost::asio::ip::tcp::no_delay noDelay;
    accepted.get_option(noDelay);
    EXPECT_TRUE(noDelay.value());
    accepted.close();
    EXPECT_TRUE(client.waitForClose());
    first.reset();
    EXPECT_NO_THROW(SocketServer again(io, "0.0.0.0", port));
}

}  // namespace
