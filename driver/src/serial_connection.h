#ifndef BOARDIO_SERIAL_CONNECTION_H
#define BOARDIO_SERIAL_CONNECTION_H

#include <array>
#include <boost/asio/io_context.hpp>
#include <boost/asio/serial_port.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/system/error_code.hpp>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "counted_run.h"
#include "frame_cutter.h"
#include "port_exclusive.h"
#include "serial_message.h"
#include "write_queue.h"

namespace krvEBLowLevel {

// One open serial port to the board. Cuts the incoming bytes into frames for
// its observer, tells it what went wrong as typed errors (a failed read,
// stray bytes, a bad header), and writes blocks whole. It never closes the
// port or retries on its own: that is its owner's decision. All I/O and
// every call of the observer run on the thread that runs the event loop.
//
// Owned through std::shared_ptr: every pending operation holds the link, so
// it outlives its last completion even when its owner has let it go.
class SerialConnection : public std::enable_shared_from_this<SerialConnection> {
public:
    using WriteDone = std::function<void(const boost::system::error_code&)>;

    // Opens the port, applies the board's line settings, claims the port for
    // this process alone and starts reading for `observer`, which must
    // outlive the link's last completion. Throws boost::system::system_error
    // when any of this fails.
    static std::shared_ptr<SerialConnection> open(const std::string& port, boost::asio::io_context& ioService,
                                                  SerialObserver& observer);
    ~SerialConnection();

    SerialConnection(const SerialConnection&) = delete;
    SerialConnection& operator=(const SerialConnection&) = delete;

    // Event-loop thread only.
    // Writes one block whole; `block` must stay as it is until `done` has
    // run, and no other write may start before then.
    void write(const Block& block, WriteDone done);
    // Closes the port if open; what is pending ends without a word to the
    // observer. Throws boost::system::system_error when the operating system
    // refuses.
    void close();
    bool isOpen() const { return serialPort.is_open(); }
    NativePortHandle nativeHandle() { return serialPort.native_handle(); }

private:
    SerialConnection(const std::string& port, boost::asio::io_context& ioService, SerialObserver& observer);

    void readNext();
    void onRead(const boost::system::error_code& error, std::size_t size);
    void endStrayRun();
    void watchStrayRun();
    void onStrayRunDue(const boost::system::error_code& error);

    void closeQuietly();
    void releasePort();

    boost::asio::serial_port serialPort;
    // Whether we claimed the port: the exclusive flag belongs to the device,
    // not to our descriptor, so only its claimant may clear it.
    bool claimed = false;
    SerialObserver& observer;
    FrameCutter cutter;
    // Reported at the latest once the line has been quiet for a moment, and
    // at least once a second while the noise goes on.
    CountedRun strayRun{{std::chrono::milliseconds(100), std::chrono::milliseconds(1000)}};
    boost::asio::steady_timer strayRunTimer;
    bool strayRunWatched = false;
    // One read takes whatever the port holds, often many frames at once: a
    // read per frame part would cost far more than the frames themselves.
    std::array<unsigned char, 4096> received{};
};

}  // namespace krvEBLowLevel

#endif
