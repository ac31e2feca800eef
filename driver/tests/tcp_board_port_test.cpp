// A board served over TCP: reading "tcp:HOST:PORT", the bytes unchanged both
// ways, the end of the connection as a failed read, and opening errors that
// say what failed and where.

#include "tcp_board_port.h"

#include <gtest/gtest.h>

#include <boost/asio/read.hpp>
#include <boost/asio/write.hpp>
#include <boost/system/system_error.hpp>
#include <numeric>
#include <thread>

#include "port_under_test.h"
#include "tcp_board_name.h"

namespace {

using namespace krvEBLowLevel;
using namespace std::chrono_literals;
using boost::asio::ip::tcp;
using porttest::Bytes;

TEST(TcpBoardName, IsReadOrSaysWhatIsWrong) {
    const struct {
        std::string name;
        std::string host;  // empty: no name, `fault` says why
        unsigned short port;
        std::string fault;
    } cases[] = {
        {"tcp:pi.local:3333", "pi.local", 3333, ""},
        {"TCP:127.0.0.1:1", "127.0.0.1", 1, ""},
        {"tcp:board_3:65535", "board_3", 65535, ""},
        {"tcp:[::1]:3333", "::1", 3333, ""},
        {"tcp:[fe80::1%eth0]:03333", "fe80::1%eth0", 3333, ""},
        {"tcp:pi.local", "", 0, "no port after the host"},
        {"tcp:pi.local:", "", 0, "no port after the host"},
        {"tcp:[::1]", "", 0, "no port after the host"},
        {"tcp:", "", 0, "no host before the port"},
        {"tcp::3333", "", 0, "no host before the port"},
        {"tcp:[]:3333", "", 0, "no host before the port"},
        {"tcp:pi:0", "", 0, "the port must be a number from 1 to 65535"},
        {"tcp:pi:65536", "", 0, "the port must be a number from 1 to 65535"},
        {"tcp:pi:99999999999999999999", "", 0, "the port must be a number from 1 to 65535"},
        {"tcp:pi:33x", "", 0, "the port must be a number from 1 to 65535"},
        {"tcp:pi:-1", "", 0, "the port must be a number from 1 to 65535"},
        {"tcp:::1:3333", "", 0, "an IPv6 address goes in brackets"},
        {"tcp:[::1:3333", "", 0, "an IPv6 address begun with '['"},
        {"tcp:[::1]x:3333", "", 0, "an IPv6 address begun with '['"},
        {"tcp:pi local:3333", "", 0, "a host name holds only"},
        {std::string("tcp:pi\x1b[2J:3333"), "", 0, "a host name holds only"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(namesTcpBoard(c.name));
        boost::system::error_code fault;
        const std::optional<TcpBoardName> read = readTcpBoardName(c.name, fault);
        if (c.host.empty()) {
            EXPECT_FALSE(read);
            EXPECT_EQ(fault.message().rfind(c.fault, 0), 0u) << fault.message();
        } else {
            ASSERT_TRUE(read) << fault.message();
            EXPECT_EQ(read->host, c.host);
            EXPECT_EQ(read->port, c.port);
        }
    }
    for (const std::string serial : {"COM3", "/dev/ttyUSB0", "tcp", "tcpx:a:1", "/tmp/tcp:a:1"}) {
        EXPECT_FALSE(namesTcpBoard(serial)) << serial;
    }
}

// A port on which nothing listens: one the system just handed out.
unsigned short closedPort() {
    boost::asio::io_context context;
    tcp::acceptor acceptor(context, tcp::endpoint(boost::asio::ip::address_v4::loopback(), 0));
    return acceptor.local_endpoint().port();
}

TEST(TcpBoardPort, OpeningErrorsSayWhatFailedAndWhere) {
    const std::string refused = "127.0.0.1:" + std::to_string(closedPort());
    const struct {
        std::string name;
        std::string step;
        boost::system::error_code error;  // none: any error
    } cases[] = {
        {"tcp:" + refused, "connect to " + refused, boost::asio::error::connection_refused},
        // A name no resolver knows (RFC 6761): "not found" where a name
        // server answers, some failure of the lookup in any case.
        {"tcp:board.invalid:3333", "look up board.invalid:3333", {}},
        {"tcp:board.invalid", "tcp:HOST:PORT", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        boost::asio::io_context loop;
        const auto began = std::chrono::steady_clock::now();
        const PortOpening opening = openBoardPort(c.name, loop);
        EXPECT_LT(std::chrono::steady_clock::now() - began,
                  TcpBoardPort::lookupPatience + TcpBoardPort::connectPatience + 5s);
        EXPECT_FALSE(opening.port);
        EXPECT_EQ(opening.step, c.step);
        EXPECT_TRUE(opening.error);
        if (c.error) {
            EXPECT_EQ(opening.error, c.error) << opening.error.message();
        }
    }
    // A server with no board behind it takes the connection, may say why,
    // and closes it.
    boost::asio::io_context serverSide;
    tcp::acceptor server(serverSide, tcp::endpoint(boost::asio::ip::address_v4::loopback(), 0));
    std::thread refusing([&] {
        tcp::socket peer = server.accept();
        boost::asio::write(peer, boost::asio::buffer(std::string("\r\nDevice open failure: \x1b[2J\r\n")));
    });
    const std::string where = "127.0.0.1:" + std::to_string(server.local_endpoint().port());
    boost::asio::io_context loop;
    const PortOpening noBoard = openBoardPort("tcp:" + where, loop);
    refusing.join();
    EXPECT_FALSE(noBoard.port);
    EXPECT_EQ(noBoard.step, "connect to " + where + ", closed at once after \"Device open failure: ?[2J\"");
    EXPECT_EQ(noBoard.error, boost::asio::error::eof);

    // As the facade's caller sees it.
    const PortOpening opening = openBoardPort("tcp:pi.local", loop);
    EXPECT_STREQ(boost::system::system_error(opening.error, opening.step).what(),
                 "tcp:HOST:PORT: no port after the host (for example tcp:192.168.1.20:3333)");
}

// The board's side: a server that takes the driver's connection.
class TcpBoardPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string name = "tcp:127.0.0.1:" + std::to_string(acceptor.local_endpoint().port());
        PortOpening opening = openBoardPort(name, under.loop);
        ASSERT_TRUE(opening.port) << opening.step << ": " << opening.error.message();
        acceptor.accept(board);
        under.start(opening.port);
    }

    Bytes boardReads(std::size_t count) {
        Bytes bytes(count);
        boost::asio::read(board, boost::asio::buffer(bytes));
        return bytes;
    }

    boost::asio::io_context boardSide;
    tcp::acceptor acceptor{boardSide, tcp::endpoint(boost::asio::ip::address_v4::loopback(), 0)};
    tcp::socket board{boardSide};
    porttest::PortUnderTest under;
};

TEST_F(TcpBoardPortTest, CarriesEveryByteUnchangedBothWaysAndTakesTheEndOfTheConnectionAsAFailedRead) {
    Bytes every(256);
    std::iota(every.begin(), every.end(), 0);
    boost::asio::write(board, boost::asio::buffer(every));
    ASSERT_TRUE(under.log.waitFor(every.size()));
    EXPECT_EQ(under.log.read(), every);

    EXPECT_FALSE(under.write(every));
    EXPECT_EQ(boardReads(every.size()), every);
#if !defined(_WIN32)
    // (Windows writes every block the asynchronous way.)
    const unsigned char version = 0x4D;
    EXPECT_EQ(under.port->writeNow(&version, 1), 1u);
    EXPECT_EQ(boardReads(1), Bytes{0x4D});
#endif

    board.close();
    ASSERT_TRUE(under.log.waitForFailure());
    EXPECT_EQ(under.log.failuresSoFar(), std::vector<boost::system::error_code>{boost::asio::error::eof});
}

}  // namespace
