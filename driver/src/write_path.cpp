#include "write_path.h"

#include <boost/asio/post.hpp>
#include <vector>

namespace krvEBLowLevel {

WritePath::WritePath(boost::asio::io_context& loop, Owner& owner, std::size_t capacity)
    : loop(loop), owner(owner), dropTimer(loop), queue(capacity) {}

void WritePath::hand(const unsigned char* bytes, std::size_t count, bool mayWriteNow) {
    std::lock_guard<std::mutex> hold(lock);
    handHeld(bytes, count, mayWriteNow);
}

void WritePath::handHeld(const unsigned char* bytes, std::size_t count, bool mayWriteNow) {
    if (count == 0 || stopped) return;
    if (!queue.fits(count)) {
        // The run's first drop asks the loop to watch it; a flood must not
        // grow the loop's own queue.
        const bool first = !drops.pending();
        drops.add(1, Clock::now());
        if (first) boost::asio::post(loop, [this] { watchDrops(); });
        return;
    }
    const bool idle = queue.empty();
    std::size_t written = 0;
    if (idle && mayWriteNow && port) {
        written = port->writeNow(bytes, count);
        if (written == count) return;
    }
    queue.push(std::make_shared<const std::vector<unsigned char>>(bytes, bytes + count));
    if (!idle) return;
    frontWritten = written;
    // Once started, the loop writes the queue dry by itself.
    boost::asio::post(loop, [this] { writeNext(); });
}

void WritePath::writeNext() {
    Block block;
    std::size_t from = 0;
    std::shared_ptr<BoardPort> target;
    {
        std::lock_guard<std::mutex> hold(lock);
        if (writing || stopped || queue.empty()) return;
        if (port) {
            // Callers push behind it meanwhile; only this thread pops it.
            writing = true;
            block = queue.front();
            from = frontWritten;
            target = port;
        }
    }
    if (!target) {
        owner.waitingForPort();
        return;
    }
    const unsigned char* rest = block->data() + from;
    const std::size_t count = block->size() - from;
    owner.writing(rest, count);
    // The handler keeps the block: an abandoned write may still read it.
    target->write(rest, count,
                  [this, target, block](const boost::system::error_code& error) { onWritten(target.get(), error); });
}

void WritePath::onWritten(const BoardPort* writtenTo, const boost::system::error_code& error) {
    {
        std::lock_guard<std::mutex> hold(lock);
        // Abandoned when its port closed: its block waits for the next one.
        if (writtenTo != port.get() || !writing) return;
        writing = false;
        queue.pop();
        frontWritten = 0;
        if (!error && queue.empty()) return;
    }
    if (error) {
        owner.writeFailed(error);
        return;
    }
    writeNext();
}

void WritePath::attach(std::shared_ptr<BoardPort> opened) {
    {
        std::lock_guard<std::mutex> hold(lock);
        port = std::move(opened);
    }
    writeNext();
}

void WritePath::detach() {
    std::lock_guard<std::mutex> hold(lock);
    port.reset();
    writing = false;
    frontWritten = 0;
}

bool WritePath::waiting() {
    std::lock_guard<std::mutex> hold(lock);
    return !queue.empty();
}

std::size_t WritePath::discardWaiting() {
    std::lock_guard<std::mutex> hold(lock);
    frontWritten = 0;
    return queue.clear();
}

void WritePath::stop() {
    {
        std::lock_guard<std::mutex> hold(lock);
        stopped = true;
        port.reset();
        writing = false;
    }
    dropTimer.cancel();
}

// One timer at a time, set when the run's first drop is handed over, which
// looks again when it finds the run grown since it was set.
void WritePath::watchDrops() {
    Clock::time_point due;
    {
        std::lock_guard<std::mutex> hold(lock);
        // A timer set after the end would hold up the session's close.
        if (stopped || !drops.pending()) return;
        due = drops.due();
    }
    dropTimer.expires_at(due);
    dropTimer.async_wait([this](const boost::system::error_code& error) {
        if (!error) onDropsDue();
    });
}

void WritePath::onDropsDue() {
    std::size_t count = 0;
    {
        std::lock_guard<std::mutex> hold(lock);
        if (Clock::now() >= drops.due()) count = drops.end();
    }
    if (count == 0) return watchDrops();
    owner.dropped(count);
}

}  // namespace krvEBLowLevel
