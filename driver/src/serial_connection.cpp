#include "serial_connection.h"

#include <algorithm>
#include <boost/asio/write.hpp>
#include <boost/system/system_error.hpp>
#include <cstring>

namespace krvEBLowLevel {

namespace {

LinkError::Kind readFailure(FrameCutter::Stage stage) {
    switch (stage) {
        case FrameCutter::Stage::id:
            return LinkError::Kind::readCommand;
        case FrameCutter::Stage::size:
            return LinkError::Kind::readSize;
        case FrameCutter::Stage::payload:
        case FrameCutter::Stage::discard:
            break;
    }
    return LinkError::Kind::readData;
}

}  // namespace

std::shared_ptr<SerialConnection> SerialConnection::open(const std::string& port, boost::asio::io_context& ioService,
                                                         SerialObserver& observer) {
    std::shared_ptr<SerialConnection> link(new SerialConnection(port, ioService, observer));
    link->readNext();
    return link;
}

SerialConnection::SerialConnection(const std::string& port, boost::asio::io_context& ioService,
                                   SerialObserver& observer)
    : serialPort(ioService), observer(observer), strayRunTimer(ioService) {
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
        closeQuietly();
        throw;
    }
}

SerialConnection::~SerialConnection() { closeQuietly(); }

void SerialConnection::close() {
    if (!serialPort.is_open()) return;
    strayRunTimer.cancel();
    releasePort();
    serialPort.close();
}

void SerialConnection::readNext() {
    auto self = shared_from_this();
    serialPort.async_read_some(boost::asio::buffer(received),
                               [self](const boost::system::error_code& error, std::size_t size) {
                                   self->onRead(error, size);
                               });
}

void SerialConnection::onRead(const boost::system::error_code& error, std::size_t size) {
    // Closed by the owner: the read it cut short is no news.
    if (!serialPort.is_open()) return;
    if (error) {
        endStrayRun();
        observer.report(LinkError{readFailure(cutter.stage()), error});
        return;
    }
    std::optional<CountedRun::Clock::time_point> now;
    for (std::size_t used = 0; used < size;) {
        const std::size_t count = std::min(cutter.wanted(), size - used);
        std::memcpy(cutter.destination(), received.data() + used, count);
        used += count;
        const FrameCutter::Outcome outcome = cutter.take(count);
        if (outcome.strayByte) {
            if (!now) now = CountedRun::Clock::now();
            strayRun.add(1, *now);
            continue;
        }
        if (outcome.badSize || outcome.frame) endStrayRun();
        if (outcome.badSize) observer.report(LinkError{LinkError::Kind::badSize});
        if (outcome.frame) observer.update(outcome.frame);
        // The observer may have closed the port.
        if (!serialPort.is_open()) return;
    }
    if (strayRun.pending()) watchStrayRun();
    readNext();
}

void SerialConnection::endStrayRun() {
    if (const std::size_t bytes = strayRun.end()) observer.report(LinkError{LinkError::Kind::strayBytes, {}, bytes});
}

// A run that no frame ends is reported when it is due; one timer at a time,
// which looks again when it finds the run grown since it was set.
void SerialConnection::watchStrayRun() {
    if (strayRunWatched) return;
    strayRunWatched = true;
    strayRunTimer.expires_at(strayRun.due());
    auto self = shared_from_this();
    strayRunTimer.async_wait([self](const boost::system::error_code& error) { self->onStrayRunDue(error); });
}

void SerialConnection::onStrayRunDue(const boost::system::error_code& error) {
    strayRunWatched = false;
    if (error || !serialPort.is_open() || !strayRun.pending()) return;
    if (CountedRun::Clock::now() < strayRun.due()) return watchStrayRun();
    endStrayRun();
}

void SerialConnection::write(const Block& block, WriteDone done) {
    auto self = shared_from_this();
    boost::asio::async_write(serialPort, boost::asio::buffer(block),
                             [self, done = std::move(done)](const boost::system::error_code& error, std::size_t) {
                                 done(error);
                             });
}

void SerialConnection::closeQuietly() {
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

}  // namespace krvEBLowLevel
