#ifndef BOARDIO_SERIAL_CONNECTION_H
#define BOARDIO_SERIAL_CONNECTION_H

#include <boost/asio/io_context.hpp>
#include <boost/asio/serial_port.hpp>
#include <boost/system/error_code.hpp>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "serial_message.h"

namespace krvEBLowLevel {

// One open serial port to the board. Cuts the incoming bytes into frames,
// writes blocks whole and in order, and reports every failure as an error
// frame through the same observers as the board's frames. All I/O and every
// delivery run on the thread that runs the event loop.
//
// Owned through std::shared_ptr: every pending operation holds the link, so
// it outlives its last completion even when its owner has let it go.
class SerialConnection : public std::enable_shared_from_this<SerialConnection> {
public:
    // Opens the port, applies the board's line settings, claims the port for
    // this process alone and starts reading. Throws
    // boost::system::system_error when any of this fails.
    static std::shared_ptr<SerialConnection> open(const std::string& port, boost::asio::io_context& ioService);
    ~SerialConnection();

    SerialConnection(const SerialConnection&) = delete;
    SerialConnection& operator=(const SerialConnection&) = delete;

    // Any thread.
    void attach(SerialObserver* observer);
    void detach(SerialObserver* observer);
    // Any thread; queues a copy for the event loop and returns at once.
    void write(const SerialBuffer& block);
    // Event-loop thread only: queues the block behind those given earlier.
    // A block keeps only its own bytes, so a long queue (requests given
    // faster than 9600 baud drains them) stays small.
    void doWrite(std::vector<unsigned char> block);

    // Event-loop thread only.
    // Closes the port if open; throws boost::system::system_error when the
    // operating system refuses.
    void close();
    bool isOpen() const;

private:
    SerialConnection(const std::string& port, boost::asio::io_context& ioService);

    void readId();
    void onId(const boost::system::error_code& error);
    void onSize(const boost::system::error_code& error);
    void onData(const boost::system::error_code& error);
    void readFailed(const char* format, const boost::system::error_code& error);

    void startWrite();
    void onWritten(const boost::system::error_code& error);

    void closeAfterFailure();
    void reportError(const std::string& text);
    void notify(const std::shared_ptr<krvSerialMessage>& message);

    unsigned char id = 0;
    int size = 0;
    unsigned char sizeBytes[2] = {};
    boost::asio::io_context& ioService;
    boost::asio::serial_port serialPort;
    unsigned char readBuffer[serialBufferCapacity];
    std::deque<std::vector<unsigned char>> writeQueue;  // the front block is the one being written
    std::vector<SerialObserver*> observers;
    std::mutex observerLock;
};

}  // namespace krvEBLowLevel

#endif
