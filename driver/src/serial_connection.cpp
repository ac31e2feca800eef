#include "serial_connection.h"

#include <boost/asio/post.hpp>
#include <boost/asio/read.hpp>
#include <boost/asio/write.hpp>
#include <boost/format.hpp>
#include <boost/system/system_error.hpp>

#include "observer_list.h"
#include "port_exclusive.h"

namespace krvEBLowLevel {

namespace {

constexpr int minimumFrameSize = 3;

}  // namespace

std::shared_ptr<SerialConnection> SerialConnection::open(const std::string& port, boost::asio::io_context& ioService) {
    std::shared_ptr<SerialConnection> link(new SerialConnection(port, ioService));
    link->readId();
    return link;
}

SerialConnection::SerialConnection(const std::string& port, boost::asio::io_context& ioService)
    : ioService(ioService), serialPort(ioService) {
    using boost::asio::serial_port_base;
    serialPort.open(port);
    const boost::system::error_code claimError = claimExclusiveAccess(serialPort.native_handle());
    if (claimError) {
        boost::system::error_code ignored;
        serialPort.close(ignored);
        throw boost::system::system_error(claimError, "flock");
    }
    serialPort.set_option(serial_port_base::baud_rate(9600));
    serialPort.set_option(serial_port_base::flow_control(serial_port_base::flow_control::none));
    serialPort.set_option(serial_port_base::stop_bits(serial_port_base::stop_bits::one));
    serialPort.set_option(serial_port_base::parity(serial_port_base::parity::none));
    serialPort.set_option(serial_port_base::character_size(8));
}

SerialConnection::~SerialConnection() {
    boost::system::error_code ignored;
    serialPort.close(ignored);
}

void SerialConnection::attach(SerialObserver* observer) { observers::attach(observers, observerLock, observer); }

void SerialConnection::detach(SerialObserver* observer) { observers::detach(observers, observerLock, observer); }

void SerialConnection::close() {
    if (serialPort.is_open()) serialPort.close();
}

bool SerialConnection::isOpen() const { return serialPort.is_open(); }

// Each frame takes three reads of exact length (id, size, payload), so no
// byte of the next frame is ever taken early.
void SerialConnection::readId() {
    // An observer may have closed the port during the delivery that ends
    // here; reading again would only report the closed port.
    if (!serialPort.is_open()) return;
    auto self = shared_from_this();
    boost::asio::async_read(serialPort, boost::asio::buffer(readBuffer, 1),
                            [self](const boost::system::error_code& error, std::size_t) { self->onId(error); });
}

void SerialConnection::onId(const boost::system::error_code& error) {
    if (error) return readFailed("002 Could not read command: %1%", error);
    id = readBuffer[0];
    if ((id & 0x80) == 0) {
        reportError("020 No command found, data loss possible");
        return readId();
    }
    auto self = shared_from_this();
    boost::asio::async_read(serialPort, boost::asio::buffer(readBuffer, 2),
                            [self](const boost::system::error_code& error, std::size_t) { self->onSize(error); });
}

void SerialConnection::onSize(const boost::system::error_code& error) {
    if (error) return readFailed("003 Could not read size: %1%", error);
    sizeBytes[0] = readBuffer[0];
    sizeBytes[1] = readBuffer[1];
    size = (sizeBytes[0] << 7) | sizeBytes[1];
    const bool sevenBitSize = ((sizeBytes[0] | sizeBytes[1]) & 0x80) == 0;
    if (!sevenBitSize || size < minimumFrameSize || size > frameCapacity) {
        // Not a header the board sends: drop it and look for the next id,
        // as for a stray byte.
        reportError("021 Invalid frame size, data loss possible");
        return readId();
    }
    auto self = shared_from_this();
    boost::asio::async_read(serialPort, boost::asio::buffer(readBuffer, static_cast<std::size_t>(size - 3)),
                            [self](const boost::system::error_code& error, std::size_t) { self->onData(error); });
}

void SerialConnection::onData(const boost::system::error_code& error) {
    if (error) return readFailed("004 Could not read data: %1%", error);
    notify(std::make_shared<krvSerialMessage>(sizeBytes, id, readBuffer));
    readId();
}

void SerialConnection::readFailed(const char* format, const boost::system::error_code& error) {
    // Reported while the port still counts as open: the board connection
    // tells a failing link from a closed one by that.
    reportError((boost::format(format) % error).str());
    closeAfterFailure();
}

void SerialConnection::write(const SerialBuffer& block) {
    if (block.length <= 0 || block.length > serialBufferCapacity) return;
    auto self = shared_from_this();
    std::vector<unsigned char> bytes(block.data, block.data + block.length);
    boost::asio::post(ioService, [self, bytes = std::move(bytes)]() mutable { self->doWrite(std::move(bytes)); });
}

// One write in flight at a time: a new write per block would interleave
// bytes of different blocks as soon as the device falls behind.
void SerialConnection::doWrite(std::vector<unsigned char> block) {
    if (block.empty()) return;
    const bool writing = !writeQueue.empty();
    writeQueue.push_back(std::move(block));
    if (!writing) startWrite();
}

void SerialConnection::startWrite() {
    const std::vector<unsigned char>& front = writeQueue.front();
    auto self = shared_from_this();
    boost::asio::async_write(serialPort, boost::asio::buffer(front),
                             [self](const boost::system::error_code& error, std::size_t) { self->onWritten(error); });
}

void SerialConnection::onWritten(const boost::system::error_code& error) {
    if (error) {
        // The failed block stays at the front, so nothing queued behind it
        // is written on this link any more.
        reportError((boost::format("010 Could not write data: %1%") % error).str());
        closeAfterFailure();
        return;
    }
    writeQueue.pop_front();
    if (!writeQueue.empty()) startWrite();
}

void SerialConnection::closeAfterFailure() {
    boost::system::error_code ignored;
    serialPort.close(ignored);
}

void SerialConnection::reportError(const std::string& text) { notify(makeErrorFrame(text)); }

void SerialConnection::notify(const std::shared_ptr<krvSerialMessage>& message) {
    observers::notify(observers, observerLock, message);
}

}  // namespace krvEBLowLevel
