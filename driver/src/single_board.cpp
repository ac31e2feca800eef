#include "single_board.h"

#include <boost/asio/error.hpp>
#include <boost/asio/post.hpp>
#include <boost/system/system_error.hpp>
#include <stdexcept>

#include "port_write_now.h"

namespace krvEBLowLevel {

namespace {

krvCommState stateAfter(short code, krvCommState state) {
    switch (code) {
        case KRV_CMD_SEND_RESET:
            return COMM_IDLE;
        case KRV_CMD_SEND_BRD:
        case KRV_CMD_SEND_UPDATE_NICE:
            return COMM_BOARD;
        case KRV_CMD_SEND_UPDATE_BRD:
            return COMM_UPDATE_BRD;
        default:
            return state;
    }
}

}  // namespace

SingleBoard::SingleBoard(const std::string& port, SingleBoardObserver& observer)
    : port(port),
      observer(observer),
      work(boost::asio::make_work_guard(ioService)),
      link(SerialConnection::open(port, ioService, *this)),
      reopenTimer(ioService),
      autoTimer(ioService),
      dropTimer(ioService),
      queue(writeQueueCapacity),
      openPort(link->nativeHandle()) {}

SingleBoard::~SingleBoard() { close(); }

void SingleBoard::start() {
    // One loop for the whole session: the work guard keeps it running while
    // the link is down, so that blocks given then still reach it.
    ioThread = std::thread([this] { runLoop(); });
}

void SingleBoard::runLoop() {
    // Anything that throws out of a handler ends only that handler, not the
    // session's loop.
    for (;;) {
        try {
            ioService.run();
            return;
        } catch (...) {
        }
    }
}

void SingleBoard::close() {
    if (ioService.get_executor().running_in_this_thread()) {
        throw std::logic_error("the board connection cannot be closed from inside update, on its own I/O thread");
    }
    if (!ioThread.joinable()) {
        // Never started, or closed before: no loop runs to race with.
        shutDown();
        return;
    }
    boost::asio::post(ioService, [this] { shutDown(); });
    // The run ends once the port is closed and its aborted read, any write
    // in flight and the cancelled timers have completed.
    work.reset();
    ioThread.join();
}

void SingleBoard::shutDown() {
    linkState.close();
    {
        std::lock_guard<std::mutex> hold(lock);
        openPort.reset();
        autoOn = false;
        state = COMM_CLOSED;
    }
    reopenTimer.cancel();
    autoTimer.cancel();
    dropTimer.cancel();
    if (!link) return;
    try {
        link->close();
    } catch (const boost::system::system_error&) {
        // Nobody is left to tell.
    }
    link.reset();
}

krvCommState SingleBoard::getState() {
    std::lock_guard<std::mutex> hold(lock);
    if (state == COMM_CLOSED) return state;
    return !openPort || failedMark ? COMM_FAILED : state;
}

void SingleBoard::sendCommand(Command* command) {
    if (command == nullptr) return;
    // The caller may delete the command as soon as we return: copy it now.
    // A size outside 1 to commandCapacity, or no bytes, sends nothing.
    const short count = command->size;
    const unsigned char* bytes = command->getData();
    Block block;
    if (count >= 1 && count <= commandCapacity && bytes != nullptr) block.assign(bytes, bytes + count);
    std::lock_guard<std::mutex> hold(lock);
    state = stateAfter(command->code, state);
    handOver(std::move(block));
}

// One writer at a time, in the order blocks were handed over: the caller
// itself while nothing waits and the port is open (no thread to wake on the
// way to the board), the I/O thread for everything else. A block the port
// does not take whole at once goes to the queue, the rest of it first.
void SingleBoard::handOver(Block block) {
    if (block.empty()) return;
    if (!queue.fits(block.size())) {
        // The run's first drop asks the I/O thread to watch it; a flood must
        // not grow the loop's own queue.
        const bool first = !drops.pending();
        drops.add(1, Clock::now());
        if (first) boost::asio::post(ioService, [this] { watchDrops(); });
        return;
    }
    const bool idle = queue.empty();
    if (idle && openPort) {
        const std::size_t written = writeNow(*openPort, block.data(), block.size());
        if (written == block.size()) return;
        block.erase(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(written));
    }
    queue.push(std::move(block));
    // Once started, the I/O thread writes the queue dry by itself.
    if (idle) boost::asio::post(ioService, [this] { writeNext(); });
}

// One timer at a time, set when the run's first drop is handed over, which
// looks again when it finds the run grown since it was set.
void SingleBoard::watchDrops() {
    // A timer set after the shutdown would hold up close() for nothing.
    if (linkState.phase() == LinkState::Phase::closed) return;
    Clock::time_point due;
    {
        std::lock_guard<std::mutex> hold(lock);
        if (!drops.pending()) return;
        due = drops.due();
    }
    dropTimer.expires_at(due);
    dropTimer.async_wait([this](const boost::system::error_code& error) {
        if (!error) onDropsDue();
    });
}

void SingleBoard::onDropsDue() {
    std::size_t count = 0;
    {
        std::lock_guard<std::mutex> hold(lock);
        if (Clock::now() >= drops.due()) count = drops.end();
    }
    if (count == 0) return watchDrops();
    deliverError(LinkError{LinkError::Kind::dropped, {}, count});
}

void SingleBoard::update(std::shared_ptr<krvSerialMessage> frame) {
    const std::shared_ptr<Message> message = createMessage(frame->frame);
    if (!message) return;
    // Any message of the board's own shows it reachable again: auto mode's
    // requests are answered without a version among them.
    linkState.boardAnswered();
    {
        std::lock_guard<std::mutex> hold(lock);
        failedMark = false;
    }
    deliver(message);
}

void SingleBoard::report(const LinkError& error) {
    if (error.isReadFailure()) {
        failLink(error);
    } else {
        deliverError(error);
    }
}

void SingleBoard::deliver(const std::shared_ptr<Message>& message) { observer.update(message); }

// The one place an error becomes text.
void SingleBoard::deliverError(const LinkError& error) {
    if (linkState.phase() == LinkState::Phase::closed) return;
    if (const std::shared_ptr<Message> message = createMessage(makeErrorFrame(describe(error))->frame)) {
        deliver(message);
    }
}

void SingleBoard::writeNext() {
    if (!linkState.isOpen()) {
        bool waiting = false;
        {
            std::lock_guard<std::mutex> hold(lock);
            waiting = !queue.empty();
        }
        // A block waiting for a port that a failure closed asks for it, and
        // need not wait for an attempt auto mode put off to a later cycle.
        if (waiting) askForReopen(Clock::now());
        return;
    }
    if (writing) return;
    const Block* next = nullptr;
    {
        std::lock_guard<std::mutex> hold(lock);
        if (queue.empty()) return;
        // Stays where it is while callers push behind it; only this thread
        // pops it.
        next = &queue.front();
    }
    writing = true;
    const SerialConnection* writer = link.get();
    link->write(*next, [this, writer](const boost::system::error_code& error) { onWritten(writer, error); });
}

void SingleBoard::onWritten(const SerialConnection* writer, const boost::system::error_code& error) {
    // The write of a link that has failed since: its block stays at the
    // front and goes to the reopened port.
    if (writer != link.get() || !writing) return;
    writing = false;
    {
        std::lock_guard<std::mutex> hold(lock);
        queue.pop();
    }
    if (error) {
        // Reported, and not written again.
        failLink(LinkError{LinkError::Kind::write, error});
        return;
    }
    writeNext();
}

// A read or a write failed: the port is closed before anyone hears of it, so
// that no caller writes to it any more and getState says so during the
// delivery. The port is reopened once something waits for it: a block, or
// auto mode.
void SingleBoard::failLink(const LinkError& error) {
    if (!link) return;
    {
        std::lock_guard<std::mutex> hold(lock);
        openPort.reset();
    }
    try {
        link->close();
    } catch (const boost::system::system_error&) {
        // The descriptor is gone all the same.
    }
    // Its pending completions keep the old link alive until they have run.
    link.reset();
    writing = false;
    linkState.fail(Clock::now());
    autoMode.clear();
    autoTimer.cancel();
    deliverError(error);
    bool wanted = false;
    {
        std::lock_guard<std::mutex> hold(lock);
        wanted = !queue.empty() || autoOn;
    }
    if (wanted) askForReopen(Clock::now());
}

void SingleBoard::askForReopen(Clock::time_point earliest) {
    const std::optional<Clock::time_point> due = linkState.reopenBy(earliest);
    if (!due) return;
    reopenTimer.expires_at(*due);
    reopenTimer.async_wait([this](const boost::system::error_code& error) {
        if (!error) reopen();
    });
}

void SingleBoard::reopen() {
    if (linkState.phase() != LinkState::Phase::reopening) return;
    if (linkState.attempt()) {
        std::lock_guard<std::mutex> hold(lock);
        failedMark = true;
    }
    try {
        link = SerialConnection::open(port, ioService, *this);
    } catch (const boost::system::system_error& error) {
        linkState.stillGone(Clock::now());
        deliverError(LinkError{LinkError::Kind::reopen, error.code()});
        std::deque<Block> lost;
        bool autoWanted = false;
        {
            std::lock_guard<std::mutex> hold(lock);
            lost = queue.takeAll();
            autoWanted = autoOn;
        }
        // One line for them all: the commands of a flood could be thousands.
        if (!lost.empty()) {
            deliverError(LinkError{LinkError::Kind::unwritten, boost::asio::error::not_connected, lost.size()});
        }
        // Auto mode goes on looking for the board, once a cycle; otherwise
        // the next block asks again.
        if (autoWanted) askForReopen(Clock::now() + AutoMode::cycle);
        return;
    }
    linkState.opened();
    bool autoWanted = false;
    {
        std::lock_guard<std::mutex> hold(lock);
        openPort = link->nativeHandle();
        autoWanted = autoOn;
    }
    // A board that was away starts afresh: auto mode from its reset, behind
    // the blocks that waited for the port.
    if (autoWanted) {
        autoMode.start(Clock::now());
        watchAuto();
    }
    writeNext();
}

void SingleBoard::startAuto() {
    {
        std::lock_guard<std::mutex> hold(lock);
        if (autoOn) return;
        autoOn = true;
    }
    boost::asio::post(ioService, [this] { beginAuto(); });
}

void SingleBoard::stopAuto() {
    {
        std::lock_guard<std::mutex> hold(lock);
        if (!autoOn) return;
        autoOn = false;
    }
    boost::asio::post(ioService, [this] { endAuto(); });
}

bool SingleBoard::isAutoRunning() {
    std::lock_guard<std::mutex> hold(lock);
    return autoOn;
}

void SingleBoard::beginAuto() {
    {
        std::lock_guard<std::mutex> hold(lock);
        // Stopped again before it began.
        if (!autoOn) return;
    }
    if (linkState.isOpen()) {
        autoMode.start(Clock::now());
        watchAuto();
    } else {
        askForReopen(Clock::now());
    }
}

void SingleBoard::endAuto() {
    autoMode.stop();
    if (!autoMode.running()) autoTimer.cancel();
}

void SingleBoard::watchAuto() {
    if (!autoMode.running()) return;
    autoTimer.expires_at(autoMode.due());
    autoTimer.async_wait([this](const boost::system::error_code& error) {
        if (!error) onAutoStep();
    });
}

void SingleBoard::onAutoStep() {
    if (!linkState.isOpen() || !autoMode.running()) return;
    // A wait that had already ended when the timer was set anew.
    if (Clock::now() < autoMode.due()) return watchAuto();
    const bool completingOpening = autoMode.completingOpening();
    if (const unsigned char request = autoMode.take()) {
        std::lock_guard<std::mutex> hold(lock);
        // Checked under the lock, so that nothing follows a stopAuto that
        // has returned (but the opening pair's second request).
        if (autoOn || completingOpening) handOver(Block{request});
    }
    watchAuto();
}

}  // namespace krvEBLowLevel
