#ifndef BOARDIO_TCP_BOARD_PORT_H
#define BOARDIO_TCP_BOARD_PORT_H

#include <boost/asio/ip/tcp.hpp>
#include <chrono>
#include <vector>

#include "stream_board_port.h"

namespace krvEBLowLevel {

// A board served over TCP, named "tcp:HOST:PORT": a serial port that a
// small computer serves on the network (ser2net), or a virtual board. The
// bytes are the serial line's, unchanged both ways; an end of the connection
// is a pulled cable.
class TcpBoardPort final : public StreamBoardPort<boost::asio::ip::tcp::socket> {
public:
    // How long opening waits for the name's lookup, and then for the
    // connection: opening runs on the caller's thread, and reopening on the
    // I/O thread, which close() waits for.
    static constexpr std::chrono::seconds lookupPatience{5};
    static constexpr std::chrono::seconds connectPatience{5};
    // How long a new connection is watched before it counts as open: a
    // board's server with no board behind it (ser2net in front of a device
    // that is gone, boardsim with its cable pulled) takes the connection
    // and closes it at once.
    static constexpr std::chrono::milliseconds settlePatience{250};

    static PortOpening open(const std::string& name, boost::asio::io_context& loop);
    // What a server said before it closed the connection at once, for an
    // error text that goes to consoles unescaped: its first line, printable
    // characters alone, as ` after "Device open failure: ..."`; empty when
    // it said nothing.
    static std::string farewellText(const std::vector<unsigned char>& said);
    ~TcpBoardPort() override;

    void startReading(Reader& reader) override;
    std::size_t writeNow(const unsigned char* bytes, std::size_t count) override;
    void close() override;

private:
    explicit TcpBoardPort(boost::asio::io_context& loop) : StreamBoardPort(loop) {}

    // What the board sent while the connection settled, read before anything
    // else.
    std::vector<unsigned char> early;
};

}  // namespace krvEBLowLevel

#endif
