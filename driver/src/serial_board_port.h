#ifndef BOARDIO_SERIAL_BOARD_PORT_H
#define BOARDIO_SERIAL_BOARD_PORT_H

#include <boost/asio/serial_port.hpp>

#include "stream_board_port.h"

namespace krvEBLowLevel {

// A board on a serial port: 9600 baud, 8 data bits, no parity, one stop bit,
// no flow control; the port claimed for this process alone.
class SerialBoardPort final : public StreamBoardPort<boost::asio::serial_port> {
public:
    static PortOpening open(const std::string& name, boost::asio::io_context& loop);
    ~SerialBoardPort() override;

    std::size_t writeNow(const unsigned char* bytes, std::size_t count) override;
    void close() override;

private:
    explicit SerialBoardPort(boost::asio::io_context& loop) : StreamBoardPort(loop) {}

    // Whether we claimed the port: the exclusive flag belongs to the device,
    // not to our descriptor, so only its claimant may clear it.
    bool claimed = false;
};

}  // namespace krvEBLowLevel

#endif
