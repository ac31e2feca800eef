#ifndef BOARDIO_SERIAL_CONNECTION_H
#define BOARDIO_SERIAL_CONNECTION_H

#include <boost/asio/io_context.hpp>
#include <boost/asio/serial_port.hpp>
#include <boost/system/error_code.hpp>
#include <functional>
#include <array>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "frame_cutter.h"
#include "serial_message.h"

namespace krvEBLowLevel {

// One open serial port to the board. Cuts the incoming bytes into frames,
// writes blocks whole, and reports every failure as an error frame through
// the same observers as the board's frames. All I/O and every delivery run
// on the thread that runs the event loop.
//
// Owned through std::shared_ptr: every pending operation holds the link, so
// it outlives its last completion even when its owner has let it go.
class SerialConnection : public std::enable_shared_from_this<SerialConnection> {
public:
    using WriteDone = std::function<void(const boost::system::error_code&)>;

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

    // Event-loop thread only.
    // Writes one block whole; `block` must stay as it is until `done` has
    // run, and no other write may start before then. A failure is reported
    // to the observers (and the port closed) before `done` hears of it.
    void write(const std::vector<unsigned char>& block, WriteDone done);
    // Closes the port if open; throws boost::system::system_error when the
    // operating system refuses.
    void close();
    bool isOpen() const;

private:
    SerialConnection(const std::string& port, boost::asio::io_context& ioService);

    void readNext();
    void onRead(const boost::system::error_code& error, std::size_t size);
    void onWritten(const boost::system::error_code& error, const WriteDone& done);

    void closeAfterFailure();
    void releasePort();
    void reportError(const std::string& text);
    void notify(const std::shared_ptr<krvSerialMessage>& message);

    boost::asio::serial_port serialPort;
    // Whether we claimed the port: the exclusive flag belongs to the device,
    // not to our descriptor, so only its claimant may clear it.
    bool claimed = false;
    FrameCutter cutter;
    // One read takes whatever the port holds, often many frames at once: a
    // read per frame part would cost far more than the frames themselves.
    std::array<unsigned char, 4096> received{};
    std::vector<SerialObserver*> observers;
    std::mutex observerLock;
};

}  // namespace krvEBLowLevel

#endif
