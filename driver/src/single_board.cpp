#include "single_board.h"

#include <boost/asio/error.hpp>
#include <boost/asio/post.hpp>
#include <boost/format.hpp>
#include <boost/system/system_error.hpp>
#include <optional>
#include <stdexcept>

namespace krvEBLowLevel {

namespace {

// The state a command's code leaves, or none for a code that changes nothing.
std::optional<krvCommState> stateAfter(short code) {
    switch (code) {
        case KRV_CMD_SEND_RESET:
            return COMM_IDLE;
        case KRV_CMD_SEND_BRD:
        case KRV_CMD_SEND_UPDATE_NICE:
            return COMM_BOARD;
        case KRV_CMD_SEND_UPDATE_BRD:
            return COMM_UPDATE_BRD;
        default:
            return std::nullopt;
    }
}

// As the numbered texts show an error: "system:2".
std::string codeText(const boost::system::error_code& error) { return (boost::format("%1%") % error).str(); }

}  // namespace

SingleBoard::SingleBoard(const std::string& port, SingleBoardObserver& facade,
                         std::vector<SingleBoardObserver*>& observers, std::mutex& observerLock)
    : portName(port),
      facade(facade),
      work(boost::asio::make_work_guard(loop)),
      audience(observers, observerLock),
      link(openOrThrow(port, loop, audience)),
      reader(loop, *this),
      writePath(loop, *this, writeQueueCapacity),
      reopenTimer(loop),
      autoTimer(loop) {}

std::shared_ptr<BoardPort> SingleBoard::openOrThrow(const std::string& port, boost::asio::io_context& loop,
                                                    Audience& audience) {
    PortOpening opening = openBoardPort(port, loop);
    // No I/O thread runs yet: the caller's thread tells them, before the
    // caller hears of it.
    if (audience.hearsLink()) {
        LinkEvent event(opening.port ? LinkEvent::Kind::opened : LinkEvent::Kind::openFailed);
        event.port = port;
        if (!opening.port) event.error = codeText(opening.error);
        audience.deliver(event);
    }
    if (opening.port) return std::move(opening.port);
    throw boost::system::system_error(opening.error, opening.step);
}

SingleBoard::~SingleBoard() { close(); }

void SingleBoard::start() {
    boost::asio::post(loop, [this] { begin(); });
    // One loop for the whole session: the work guard keeps it running while
    // the link is down, so that blocks given then still reach it.
    ioThread = std::thread([this] { runLoop(); });
}

void SingleBoard::runLoop() {
    // Anything that throws out of a handler ends only that handler, not the
    // session's loop.
    for (;;) {
        try {
            loop.run();
            return;
        } catch (...) {
        }
    }
}

void SingleBoard::begin() {
    if (link.isOpen()) readFrom(link.port());
}

void SingleBoard::readFrom(const std::shared_ptr<BoardPort>& port) {
    port->startReading(*this);
    writePath.attach(port);
}

void SingleBoard::close() {
    if (onIoThread()) {
        throw std::logic_error("the board connection cannot be closed from inside update, on its own I/O thread");
    }
    if (!ioThread.joinable()) {
        // Never started, or closed before: no loop runs to race with.
        shutDown();
        return;
    }
    boost::asio::post(loop, [this] { shutDown(); });
    // The run ends once the port is closed and its aborted read, any write
    // in flight and the cancelled timers have completed.
    work.reset();
    ioThread.join();
}

void SingleBoard::shutDown() {
    if (link.phase() == LinkState::Phase::closed) return;
    autoOn = false;
    reopenTimer.cancel();
    autoTimer.cancel();
    writePath.stop();
    const std::shared_ptr<BoardPort> port = link.close();
    reader.restart();
    if (!port) return;
    port->close();
    tell(LinkEvent::Kind::closed);
}

krvCommState SingleBoard::getState() const {
    switch (link.phase()) {
        case LinkState::Phase::closed:
            return COMM_CLOSED;
        case LinkState::Phase::open:
            return link.marked() ? COMM_FAILED : commanded.load();
        case LinkState::Phase::failed:
        case LinkState::Phase::reopening:
            break;
    }
    return COMM_FAILED;
}

void SingleBoard::sendCommand(Command* command) {
    if (command == nullptr) return;
    if (const std::optional<krvCommState> state = stateAfter(command->code)) commanded = *state;
    // A size outside 1 to commandCapacity, or no bytes, sends nothing. The
    // caller may delete the command as soon as we return: what is kept is
    // copied.
    const short count = command->size;
    const unsigned char* bytes = command->getData();
    if (count < 1 || count > commandCapacity || bytes == nullptr) return;
    writePath.hand(bytes, static_cast<std::size_t>(count), audience.callersMayWrite());
}

void SingleBoard::received(const unsigned char* bytes, std::size_t count) {
    if (audience.hearsLink()) {
        LinkEvent event(LinkEvent::Kind::received);
        event.bytes = bytes;
        event.count = count;
        audience.deliver(event);
    }
    reader.feed(bytes, count);
}

void SingleBoard::readFailed(const boost::system::error_code& error) { failLink(reader.readFailed(error)); }

void SingleBoard::frame(const unsigned char* bytes, int) {
    const std::shared_ptr<Message> message = createMessage(bytes);
    if (!message) return;
    // Any message of the board's own shows it reachable again: auto mode's
    // requests are answered without a version among them.
    link.boardAnswered();
    deliver(message);
}

void SingleBoard::report(const LinkError& error) { deliverError(error); }

void SingleBoard::deliver(const std::shared_ptr<Message>& message) {
    // Through the facade, whose update may be its subclass's; what throws
    // out of it must not end the read that delivers.
    try {
        facade.update(message);
    } catch (...) {
    }
}

void SingleBoard::deliverError(const LinkError& error) {
    if (link.phase() == LinkState::Phase::closed) return;
    deliver(std::make_shared<MsgError>(describe(error)));
}

void SingleBoard::tell(LinkEvent::Kind kind, const boost::system::error_code& error) {
    if (!audience.hearsLink()) return;
    LinkEvent event(kind);
    if (kind == LinkEvent::Kind::opened || kind == LinkEvent::Kind::openFailed) event.port = portName;
    if (error) event.error = codeText(error);
    audience.deliver(event);
}

void SingleBoard::writing(const unsigned char* bytes, std::size_t count) {
    if (!audience.hearsLink()) return;
    LinkEvent event(LinkEvent::Kind::written);
    event.bytes = bytes;
    event.count = count;
    audience.deliver(event);
}

void SingleBoard::writeFailed(const boost::system::error_code& error) {
    failLink(LinkError{LinkError::Kind::write, error});
}

void SingleBoard::dropped(std::size_t blocks) { deliverError(LinkError{LinkError::Kind::dropped, {}, blocks}); }

// A block waiting for a port that a failure closed asks for it, and need not
// wait for an attempt auto mode put off to a later cycle.
void SingleBoard::waitingForPort() { askForReopen(Clock::now()); }

// A read or a write failed: the port is closed before anyone hears of it, so
// that no caller writes to it any more and getState says so during the
// delivery. The port is reopened once something waits for it: a block, or
// auto mode.
void SingleBoard::failLink(const LinkError& error) {
    const std::shared_ptr<BoardPort> port = link.fail(Clock::now());
    if (!port) return;
    writePath.detach();
    port->close();
    autoMode.clear();
    autoTimer.cancel();
    tell(LinkEvent::Kind::lost, error.code);
    reader.restart();
    deliverError(error);
    if (writePath.waiting() || autoOn) askForReopen(Clock::now());
}

void SingleBoard::askForReopen(Clock::time_point earliest) {
    const std::optional<Clock::time_point> due = link.reopenBy(earliest);
    if (!due) return;
    reopenTimer.expires_at(*due);
    reopenTimer.async_wait([this](const boost::system::error_code& error) {
        if (!error) reopen();
    });
}

void SingleBoard::reopen() {
    if (link.phase() != LinkState::Phase::reopening) return;
    link.attempt();
    PortOpening opening = openBoardPort(portName, loop);
    if (!opening.port) {
        link.stillGone(Clock::now());
        tell(LinkEvent::Kind::openFailed, opening.error);
        deliverError(LinkError{LinkError::Kind::reopen, opening.error});
        // One line for them all: the commands of a flood could be thousands.
        if (const std::size_t lost = writePath.discardWaiting()) {
            deliverError(LinkError{LinkError::Kind::unwritten, boost::asio::error::not_connected, lost});
        }
        // Auto mode goes on looking for the board, once a cycle; otherwise
        // the next block asks again.
        if (autoOn) askForReopen(Clock::now() + AutoMode::cycle);
        return;
    }
    link.opened(opening.port);
    tell(LinkEvent::Kind::opened);
    // A board that was away starts afresh: auto mode from its reset, behind
    // the blocks that waited for the port.
    if (autoOn) {
        autoMode.start(Clock::now());
        watchAuto();
    }
    readFrom(opening.port);
}

void SingleBoard::startAuto() {
    if (autoOn.exchange(true)) return;
    boost::asio::post(loop, [this] { beginAuto(); });
}

void SingleBoard::stopAuto() {
    if (!autoOn.exchange(false)) return;
    // A request auto mode is handing over now is handed before we return;
    // none follows.
    writePath.settle();
    boost::asio::post(loop, [this] { endAuto(); });
}

void SingleBoard::beginAuto() {
    // Stopped again before it began.
    if (!autoOn) return;
    if (link.isOpen()) {
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
    if (!link.isOpen() || !autoMode.running()) return;
    // A wait that had already ended when the timer was set anew.
    if (Clock::now() < autoMode.due()) return watchAuto();
    const bool completingOpening = autoMode.completingOpening();
    if (const unsigned char request = autoMode.take()) {
        // Checked in the write path's order, so that nothing follows a
        // stopAuto that has returned (but the opening pair's second request).
        writePath.handIf(&request, 1, audience.callersMayWrite(),
                         [this, completingOpening] { return autoOn || completingOpening; });
    }
    watchAuto();
}

}  // namespace krvEBLowLevel
