#include "serial_board_port.h"

#include <boost/asio/write.hpp>

#include "port_exclusive.h"
#include "port_write_now.h"

namespace krvEBLowLevel {

PortOpening SerialBoardPort::open(const std::string& name, boost::asio::io_context& loop) {
    using boost::asio::serial_port_base;
    std::shared_ptr<SerialBoardPort> port(new SerialBoardPort(loop));
    boost::asio::serial_port& serial = port->serialPort;
    PortOpening opening;
    // Each step in turn, up to the first that fails; the port that did open
    // is closed by its destructor.
    const auto step = [&opening](const char* what, auto&& run) {
        if (!opening.error) {
            run();
            if (opening.error) opening.step = what;
        }
    };
    step("open", [&] { serial.open(name, opening.error); });
    step("flock", [&] {
        opening.error = claimExclusiveAccess(serial.native_handle());
        port->claimed = !opening.error;
    });
    step("set_option", [&] { serial.set_option(serial_port_base::baud_rate(9600), opening.error); });
    step("set_option", [&] {
        serial.set_option(serial_port_base::flow_control(serial_port_base::flow_control::none), opening.error);
    });
    step("set_option",
         [&] { serial.set_option(serial_port_base::stop_bits(serial_port_base::stop_bits::one), opening.error); });
    step("set_option",
         [&] { serial.set_option(serial_port_base::parity(serial_port_base::parity::none), opening.error); });
    step("set_option", [&] { serial.set_option(serial_port_base::character_size(8), opening.error); });
    if (!opening.error) opening.port = std::move(port);
    return opening;
}

SerialBoardPort::~SerialBoardPort() { close(); }

void SerialBoardPort::startReading(Reader& portReader) {
    reader = &portReader;
    readNext();
}

void SerialBoardPort::readNext() {
    serialPort.async_read_some(boost::asio::buffer(readBuffer),
                               [self = shared_from_this()](const boost::system::error_code& error, std::size_t size) {
                                   self->onRead(error, size);
                               });
}

void SerialBoardPort::onRead(const boost::system::error_code& error, std::size_t size) {
    // Closed by the owner: the read it cut short is no news.
    if (!serialPort.is_open()) return;
    if (error) {
        reader->readFailed(error);
        return;
    }
    reader->received(readBuffer.data(), size);
    // The reader may have closed the port.
    if (serialPort.is_open()) readNext();
}

void SerialBoardPort::write(const unsigned char* bytes, std::size_t count, WriteDone done) {
    boost::asio::async_write(serialPort, boost::asio::buffer(bytes, count),
                             [self = shared_from_this(), done = std::move(done)](const boost::system::error_code& error,
                                                                                 std::size_t) { done(error); });
}

std::size_t SerialBoardPort::writeNow(const unsigned char* bytes, std::size_t count) {
    return krvEBLowLevel::writeNow(serialPort.native_handle(), bytes, count);
}

void SerialBoardPort::close() {
    if (!serialPort.is_open()) return;
    // A pseudo-terminal keeps its exclusive flag after our close for as long
    // as its other side is open, and would refuse everyone but root the next
    // open of the same port.
    if (claimed) releaseExclusiveAccess(serialPort.native_handle());
    claimed = false;
    // A refusal leaves nothing to do: the descriptor is gone all the same.
    boost::system::error_code ignored;
    serialPort.close(ignored);
}

}  // namespace krvEBLowLevel
