#include "frame_reader.h"

#include <boost/asio/error.hpp>
#include <optional>

namespace krvEBLowLevel {

void FrameReader::feed(const unsigned char* bytes, std::size_t count) {
    // The bytes of one read came at one time.
    std::optional<CountedRun::Clock::time_point> now;
    while (count > 0) {
        const std::size_t used = step(bytes, count, now);
        bytes += used;
        count -= used;
    }
    if (strayRun.pending()) watchStrayRun();
}

std::size_t FrameReader::step(const unsigned char* bytes, std::size_t count,
                              std::optional<CountedRun::Clock::time_point>& now) {
    const FrameCutter::Step step = cutter.take(bytes, count);
    switch (step.made) {
        case FrameCutter::Made::nothing:
            break;
        case FrameCutter::Made::strayByte:
            if (!now) now = CountedRun::Clock::now();
            strayRun.add(1, *now);
            break;
        case FrameCutter::Made::badSize:
            endStrayRun();
            sink.report(LinkError{LinkError::Kind::badSize});
            break;
        case FrameCutter::Made::frame:
            endStrayRun();
            sink.frame(cutter.frame(), cutter.frameSize());
            break;
    }
    return step.used;
}

LinkError FrameReader::readFailed(const boost::system::error_code& error) {
    endStrayRun();
    switch (cutter.stage()) {
        case FrameCutter::Stage::id:
            return LinkError{LinkError::Kind::readCommand, error};
        case FrameCutter::Stage::size:
            return LinkError{LinkError::Kind::readSize, error};
        case FrameCutter::Stage::payload:
        case FrameCutter::Stage::discard:
            break;
    }
    return LinkError{LinkError::Kind::readData, error};
}

void FrameReader::restart() {
    cutter.restart();
    endStrayRun();
    strayRunTimer.cancel();
    strayRunWatched = false;
}

void FrameReader::endStrayRun() {
    if (const std::size_t bytes = strayRun.end()) sink.report(LinkError{LinkError::Kind::strayBytes, {}, bytes});
}

// A run that no frame ends is reported when it is due; one timer at a time,
// which looks again when it finds the run grown since it was set.
void FrameReader::watchStrayRun() {
    if (strayRunWatched) return;
    strayRunWatched = true;
    strayRunTimer.expires_at(strayRun.due());
    strayRunTimer.async_wait([this](const boost::system::error_code& error) { onStrayRunDue(error); });
}

void FrameReader::onStrayRunDue(const boost::system::error_code& error) {
    // Cancelled by a restart, which has forgotten the watch already.
    if (error == boost::asio::error::operation_aborted) return;
    strayRunWatched = false;
    if (!strayRun.pending()) return;
    if (CountedRun::Clock::now() < strayRun.due()) return watchStrayRun();
    endStrayRun();
}

}  // namespace krvEBLowLevel
