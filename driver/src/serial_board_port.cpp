#include "serial_board_port.h"

#include "port_exclusive.h"
#include "port_write_now.h"

namespace krvEBLowLevel {

PortOpening SerialBoardPort::open(const std::string& name, boost::asio::io_context& loop) {
    using boost::asio::serial_port_base;
    std::shared_ptr<SerialBoardPort> port(new SerialBoardPort(loop));
    boost::asio::serial_port& serial = port->stream;
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

std::size_t SerialBoardPort::writeNow(const unsigned char* bytes, std::size_t count) {
    return krvEBLowLevel::writeNow(stream.native_handle(), bytes, count);
}

void SerialBoardPort::close() {
    if (!stream.is_open()) return;
    // A pseudo-terminal keeps its exclusive flag after our close for as long
    // as its other side is open, and would refuse everyone but root the next
    // open of the same port.
    if (claimed) releaseExclusiveAccess(stream.native_handle());
    claimed = false;
    // A refusal leaves nothing to do: the descriptor is gone all the same.
    boost::system::error_code ignored;
    stream.close(ignored);
}

}  // namespace krvEBLowLevel
