#ifndef BOARDIO_SERIAL_BOARD_PORT_H
#define BOARDIO_SERIAL_BOARD_PORT_H

#include <array>
#include <boost/asio/serial_port.hpp>

#include "board_port.h"

namespace krvEBLowLevel {

// A board on a serial port: 9600 baud, 8 data bits, no parity, one stop bit,
// no flow control; the port claimed for this process alone.
class SerialBoardPort final : public BoardPort, public std::enable_shared_from_this<SerialBoardPort> {
public:
    static PortOpening open(const std::string& name, boost::asio::io_context& loop);
    ~SerialBoardPort() override;

    void startReading(Reader& reader) override;
    void write(const unsigned char* bytes, std::size_t count, WriteDone done) override;
    std::size_t writeNow(const unsigned char* bytes, std::size_t count) override;
    void close() override;

private:
    explicit SerialBoardPort(boost::asio::io_context& loop) : serialPort(loop) {}

    void readNext();
    void onRead(const boost::system::error_code& error, std::size_t size);

    boost::asio::serial_port serialPort;
    // Whether we claimed the port: the exclusive flag belongs to the device,
    // not to our descriptor, so only its claimant may clear it.
    bool claimed = false;
    Reader* reader = nullptr;
    // One read takes whatever the port holds, often many frames at once: a
    // read per frame part would cost far more than the frames themselves.
    std::array<unsigned char, 4096> readBuffer{};
};

}  // namespace krvEBLowLevel

#endif
