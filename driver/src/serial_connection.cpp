#include "serial_connection.h"

#include <boost/asio/write.hpp>
#include <boost/format.hpp>
#include <boost/system/system_error.hpp>
#include <algorithm>
#include <cstring>

#include "observer_list.h"
#include "port_exclusive.h"

namespace krvEBLowLevel {

namespace {

const char* readErrorFormat(FrameCutter::Stage stage) {
    switch (stage) {
        case FrameCutter::Stage::id:
            return "002 Could not read command: %1%";
        case FrameCutter::Stage::size:
            return "003 Could not read size: %1%";
        case FrameCutter::Stage::payload:
        case FrameCutter::Stage::discard:
            break;
    }
    return "004 Could not read data: %1%";
}

}  // namespace

std::shared_ptr<SerialConnection> SerialConnection::open(const std::string& port, boost::asio::io_context& ioService) {
    std::shared_ptr<SerialConnection> link(new SerialConnection(port, ioService));
    link->readNext();
    return link;
}

SerialConnection::SerialConnection(const std::string& port, boost::asio::io_context& ioService)
    : serialPort(ioService) {
    using boost::asio::serial_port_base;
    serialPort.open(port);
    try {
        const boost::system::error_code claimError = claimExclusiveAccess(serialPort.native_handle());
        if (claimError) throw boost::system::system_error(claimError, "flock");
        claimed = true;
        serialPort.set_option(serial_port_base::baud_rate(9600));
        serialPort.set_option(serial_port_base::flow_control(serial_port_base::flow_control::none));
        serialPort.set_option(serial_port_base::stop_bits(serial_port_base::stop_bits::one));
        serialPort.set_option(serial_port_base::parity(serial_port_base::parity::none));
        serialPort.set_option(serial_port_base::character_size(8));
    } catch (...) {
        closeAfterFailure();
        throw;
    }
}

SerialConnection::~SerialConnection() { closeAfterFailure(); }

void SerialConnection::attach(SerialObserver* observer) { observers::attach(observers, observerLock, observer); }

void SerialConnection::detach(SerialObserver* observer) { observers::detach(observers, observerLock, observer); }

void SerialConnection::close() {
    if (!serialPort.is_open()) return;
    releasePort();
    serialPort.close();
}

bool SerialConnection::isOpen() const { return serialPort.is_open(); }

void SerialConnection::readNext() {
    // An observer may have closed the port during the delivery that ends
    // here; reading again would only report the closed port.
    if (!serialPort.is_open()) return;
    auto self = shared_from_this();
    serialPort.async_read_some(boost::asio::buffer(received),
                               [self](const boost::system::error_code& error, std::size_t size) {
                                   self->onRead(error, size);
                               });
}

void SerialConnection::onRead(const boost::system::error_code& error, std::size_t size) {
    if (error) {
        // Reported while the port still counts as open: the board connection
        // tells a failing link from a closed one by that.
        reportError((boost::format(readErrorFormat(cutter.stage())) % error).str());
        closeAfterFailure();
        return;
    }
    for (std::size_t used = 0; used < size && serialPort.is_open();) {
        const std::size_t count = std::min(cutter.wanted(), size - used);
        std::memcpy(cutter.destination(), received.data() + used, count);
        used += count;
        const FrameCutter::Outcome outcome = cutter.take(count);
        if (outcome.error != nullptr) reportError(outcome.error);
        if (outcome.frame) notify(outcome.frame);
    }
    readNext();
}

void SerialConnection::write(const std::vector<unsigned char>& block, WriteDone done) {
    auto self = shared_from_this();
    boost::asio::async_write(serialPort, boost::asio::buffer(block),
                             [self, done = std::move(done)](const boost::system::error_code& error, std::size_t) {
                                 self->onWritten(error, done);
                             });
}

void SerialConnection::onWritten(const boost::system::error_code& error, const WriteDone& done) {
    if (error) {
        reportError((boost::format("010 Could not write data: %1%") % error).str());
        closeAfterFailure();
    }
    done(error);
}

void SerialConnection::closeAfterFailure() {
    if (!serialPort.is_open()) return;
    releasePort();
    boost::system::error_code ignored;
    serialPort.close(ignored);
}

void SerialConnection::releasePort() {
    // A pseudo-terminal keeps its exclusive flag after our close for as long
    // as its other side is open, and would refuse everyone but root the next
    // open of the same port.
    if (claimed) releaseExclusiveAccess(serialPort.native_handle());
    claimed = false;
}

void SerialConnection::reportError(const std::string& text) { notify(makeErrorFrame(text)); }

void SerialConnection::notify(const std::shared_ptr<krvSerialMessage>& message) {
    observers::notify(observers, observerLock, message);
}

}  // namespace krvEBLowLevel
