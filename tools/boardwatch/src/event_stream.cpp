#include "event_stream.h"

#include <boost/asio/write.hpp>

namespace boardwatch {

namespace {

using boost::system::error_code;

const auto head = std::make_shared<const std::string>(
    "HTTP/1.1 200 OK\r\n"
    "Content-Type: text/event-stream\r\n"
    "Cache-Control: no-cache\r\n"
    "Connection: keep-alive\r\n"
    "\r\n");

}  // namespace

EventStream::EventStream(boost::beast::tcp_stream stream, std::shared_ptr<void> slot)
    : stream(std::move(stream)), slot(std::move(slot)) {}

void EventStream::start(std::shared_ptr<const std::string> first, EndHandler handler) {
    onEnd = std::move(handler);
    allowedBytes = waitingLimit + head->size() + first->size();
    send(head);
    send(std::move(first));
    watchForClose();
}

void EventStream::send(std::shared_ptr<const std::string> events) {
    if (stopped) return;
    waitingBytes += events->size();
    waiting.push_back(std::move(events));
    if (waitingBytes > allowedBytes) return stop();
    if (!writing) writeNext();
}

void EventStream::writeNext() {
    if (waiting.empty()) {
        writing = false;
        return;
    }
    writing = true;
    stream.expires_after(writeLimit);
    boost::asio::async_write(stream, boost::asio::buffer(*waiting.front()),
                             [self = shared_from_this()](const error_code& error, std::size_t) {
                                 self->onWritten(error);
                             });
}

void EventStream::onWritten(const error_code& error) {
    if (stopped) return;
    if (error) return stop();
    waitingBytes -= waiting.front()->size();
    waiting.pop_front();
    writeNext();
}

// The page never sends anything after its request: a read ends only when
// the viewer goes away.
void EventStream::watchForClose() {
    stream.socket().async_read_some(boost::asio::buffer(ignored),
                                    [self = shared_from_this()](const error_code& error, std::size_t) {
                                        self->onViewerRead(error);
                                    });
}

void EventStream::onViewerRead(const error_code& error) {
    if (stopped) return;
    if (error) return stop();
    watchForClose();
}

void EventStream::stop() {
    if (stopped) return;
    stopped = true;
    waiting.clear();
    error_code ignoredError;
    stream.socket().shutdown(boost::asio::ip::tcp::socket::shutdown_both, ignoredError);
    stream.close();
    EndHandler handler = std::move(onEnd);
    if (handler) handler(this);
}

}  // namespace boardwatch
