#ifndef BOARDIO_FRAME_READER_H
#define BOARDIO_FRAME_READER_H

#include <boost/asio/io_context.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/system/error_code.hpp>
#include <cstddef>
#include <optional>

#include "counted_run.h"
#include "frame_cutter.h"
#include "link_error.h"

namespace krvEBLowLevel {

// The bytes from the board, whatever port brought them, cut into frames for
// its sink, with what went wrong as typed errors: a run of stray bytes once
// (when something ends it, or once it is due), each bad header, and the part
// of a frame a failed read cut. Runs on the event loop's thread.
class FrameReader {
public:
    class Sink {
    public:
        // The frame's bytes, valid during the call: size 3 to frameCapacity,
        // zeros after a short one up to FrameCutter::decoderReach.
        virtual void frame(const unsigned char* bytes, int size) = 0;
        virtual void report(const LinkError& error) = 0;

    protected:
        ~Sink() = default;
    };

    FrameReader(boost::asio::io_context& loop, Sink& sink) : sink(sink), strayRunTimer(loop) {}

    // Bytes as one read brought them.
    void feed(const unsigned char* bytes, std::size_t count);
    // The read failed: the run of stray bytes before it is reported, and
    // the error for the failure is given back.
    LinkError readFailed(const boost::system::error_code& error);
    // The port has gone: a run of stray bytes is reported, and nothing
    // carries over to the bytes of the next port.
    void restart();

private:
    std::size_t step(const unsigned char* bytes, std::size_t count, std::optional<CountedRun::Clock::time_point>& now);
    void endStrayRun();
    void watchStrayRun();
    void onStrayRunDue(const boost::system::error_code& error);

    Sink& sink;
    FrameCutter cutter;
    // Reported at the latest once the line has been quiet for a moment, and
    // at least once a second while the noise goes on.
    CountedRun strayRun{{std::chrono::milliseconds(100), std::chrono::milliseconds(1000)}};
    boost::asio::steady_timer strayRunTimer;
    bool strayRunWatched = false;
};

}  // namespace krvEBLowLevel

#endif
