#ifndef BOARDWATCH_EVENT_STREAM_H
#define BOARDWATCH_EVENT_STREAM_H

// One viewer's server-sent events: the page's live updates. Events wait in
// a queue behind one write in flight; a viewer that falls too far behind,
// or whose write stalls, is dropped, never waited for. The first event, the
// whole state, is let through whatever its size: a hall's state may be
// larger than the bound.

#include <boost/beast/core/tcp_stream.hpp>
#include <array>
#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <string>

namespace boardwatch {

class EventStream : public std::enable_shared_from_this<EventStream> {
public:
    // Far more than a viewer that reads ever has waiting: the whole state of
    // fifty boards is some 60 KiB.
    static constexpr std::size_t waitingLimit = 1024 * 1024;
    static constexpr std::chrono::seconds writeLimit{10};

    using EndHandler = std::function<void(EventStream*)>;

    // slot: keeps the connection counted while the stream lives.
    EventStream(boost::beast::tcp_stream stream, std::shared_ptr<void> slot);
    EventStream(const EventStream&) = delete;
    EventStream& operator=(const EventStream&) = delete;

    // Sends the response's head and the first event; onEnd is called once,
    // when the viewer has gone or been dropped.
    void start(std::shared_ptr<const std::string> first, EndHandler onEnd);
    void send(std::shared_ptr<const std::string> events);
    void stop();

private:
    void writeNext();
    void onWritten(const boost::system::error_code& error);
    void watchForClose();
    void onViewerRead(const boost::system::error_code& error);

    boost::beast::tcp_stream stream;
    std::deque<std::shared_ptr<const std::string>> waiting;
    std::size_t waitingBytes = 0;
    // waitingLimit, and the first event on top of it.
    std::size_t allowedBytes = waitingLimit;
    bool writing = false;
    bool stopped = false;
    EndHandler onEnd;
    std::shared_ptr<void> slot;
    std::array<char, 512> ignored{};
};

}  // namespace boardwatch

#endif
