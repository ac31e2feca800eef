#include "single_board.h"

#include <algorithm>
#include <boost/asio/error.hpp>
#include <boost/asio/post.hpp>
#include <boost/format.hpp>
#include <boost/system/system_error.hpp>
#include <stdexcept>

#include "observer_list.h"

namespace krvEBLowLevel {

namespace {

constexpr int versionMessageType = 19;
constexpr int errorMessageType = 127;

constexpr const char* droppedText = "012 Command dropped: the board is not keeping up";

std::string writeWithoutLinkText() {
    const boost::system::error_code notConnected = boost::asio::error::not_connected;
    return (boost::format("010 Could not write data: %1%") % notConnected).str();
}

}  // namespace

SingleBoard::SingleBoard(const std::string& port)
    : port(port),
      work(boost::asio::make_work_guard(ioService)),
      link(SerialConnection::open(port, ioService)),
      queue(writeQueueCapacity),
      reconnection(ioService),
      autoMode([this](unsigned char request) { queueBlock(Block{request}); }) {
    // Attached before the loop runs, so no frame can slip past us and no
    // delivery walks the link's list while we change it.
    link->attach(this);
    // One loop for the whole session: the work guard keeps it running after
    // the link has failed, so later writes still run and report.
    ioThread = std::thread([this] { runLoop(); });
}

SingleBoard::~SingleBoard() { close(); }

void SingleBoard::runLoop() {
    ioThreadId = std::this_thread::get_id();
    // Observers cannot throw past their delivery; anything else that throws
    // out of a handler ends only that handler, not the session's loop.
    for (;;) {
        try {
            ioService.run();
            return;
        } catch (...) {
        }
    }
}

void SingleBoard::attach(SingleBoardObserver* observer) { observers::attach(observers, observerLock, observer); }

void SingleBoard::close() {
    if (std::this_thread::get_id() == ioThreadId.load()) {
        throw std::logic_error("the board connection cannot be closed from inside update, on its own I/O thread");
    }
    if (!ioThread.joinable()) return;
    closing = true;
    autoMode.stop();
    boost::asio::post(ioService, [this] {
        reconnection.cancel();
        if (!link) return;
        link->detach(this);
        try {
            link->close();
        } catch (const boost::system::system_error&) {
            // Nobody is left to tell: the observers have been detached.
        }
    });
    // The run ends once the close has run and the aborted read and any
    // write in flight have completed.
    work.reset();
    ioThread.join();
    // A thread started later may get the same id.
    ioThreadId = std::thread::id();
    link.reset();
    state = COMM_CLOSED;
}

void SingleBoard::update(std::shared_ptr<krvSerialMessage> frame) {
    // Once closing has begun nothing more reaches the observers, not even the
    // aborted read.
    if (closing) return;
    const std::shared_ptr<Message> message = createMessage(frame->frame);
    if (!message) return;
    const int type = frame->id & 0x7F;
    if (type == versionMessageType) reconnection.boardAnswered();
    if (type == errorMessageType) handleLinkError();
    deliver(message);
}

void SingleBoard::deliver(const std::shared_ptr<Message>& message) {
    observers::notify(observers, observerLock, message);
}

void SingleBoard::report(const std::string& text) {
    if (closing) return;
    if (const std::shared_ptr<Message> message = createMessage(makeErrorFrame(text)->frame)) deliver(message);
}

void SingleBoard::sendCommand(Command* command) {
    if (command == nullptr) return;
    if (reconnection.failed()) {
        state = COMM_FAILED;
    } else {
        switch (command->code) {
            case KRV_CMD_SEND_RESET:
                state = COMM_IDLE;
                break;
            case KRV_CMD_SEND_BRD:
            case KRV_CMD_SEND_UPDATE_NICE:
                state = COMM_BOARD;
                break;
            case KRV_CMD_SEND_UPDATE_BRD:
                state = COMM_UPDATE_BRD;
                break;
            default:
                break;
        }
    }
    // The caller may delete the command as soon as we return: copy it now.
    // A size outside 1 to commandCapacity, or no bytes, sends nothing.
    const short count = command->size;
    const unsigned char* bytes = command->getData();
    if (count >= 1 && count <= commandCapacity && bytes != nullptr) queueBlock(Block(bytes, bytes + count));
}

void SingleBoard::startAuto() {
    if (!closing) autoMode.start();
}

void SingleBoard::queueBlock(Block block) {
    if (block.empty()) return;
    if (!queue.reserve(block.size())) return reportDropped();
    boost::asio::post(ioService, [this, block = std::move(block)]() mutable {
        queue.push(std::move(block));
        writeNext();
    });
}

void SingleBoard::reportDropped() {
    // One report per dropped command, but at most one report task on its way
    // to the loop at a time: a flood of commands must not grow the loop's
    // own queue either.
    if (droppedUnreported++ == 0) postDropReports();
}

void SingleBoard::postDropReports() {
    boost::asio::post(ioService, [this] {
        // A few at a time, so that the reports of a flood do not hold up the
        // board's frames.
        const unsigned batch = std::min(droppedUnreported.load(), 64u);
        for (unsigned i = 0; i < batch; ++i) report(droppedText);
        if (droppedUnreported.fetch_sub(batch) > batch) postDropReports();
    });
}

// One write in flight at a time: a new write per block would interleave
// bytes of different blocks as soon as the device falls behind. Blocks wait
// here through a reconnection and go to the reopened port.
void SingleBoard::writeNext() {
    if (closing || writing || queue.empty() || reconnection.due()) return;
    if (!link) {
        // A reopen has failed before: the waiting block asks for another.
        startReconnection();
        return;
    }
    writing = true;
    link->write(queue.front(), [this](const boost::system::error_code&) {
        // A failed block has been reported by the link; it is not written
        // again.
        writing = false;
        queue.pop();
        writeNext();
    });
}

// Reopening the port after the link has failed. A reconnection starts
// inside the delivery of an error frame, on the I/O thread and often inside
// the failing link's own delivery. So it never waits for that thread and
// never destroys that link: it drops its reference (the link's pending
// completion keeps it alive until it has returned) and waits for the reopen
// on a timer of the same loop. Blocks given meanwhile wait in the queue for
// the reopened port.
void SingleBoard::handleLinkError() {
    // Only the port counts: an error delivered while the port is still open
    // (a stray byte, or a read error that is about to close it) is no cause.
    if (!link || link->isOpen()) return;
    link->detach(this);
    link.reset();
    startReconnection();
}

void SingleBoard::startReconnection() {
    if (reconnection.start([this] { reopen(); })) state = COMM_FAILED;
    autoMode.stop();
}

void SingleBoard::reopen() {
    if (closing) return;
    try {
        link = SerialConnection::open(port, ioService);
        link->attach(this);
    } catch (const boost::system::system_error& error) {
        // The device is still gone. The connection stays without a link, and
        // the next block given asks for another attempt: nothing retries on
        // its own.
        report((boost::format("011 Could not reopen port: %1%") % error.code()).str());
        const std::string lost = writeWithoutLinkText();
        while (!queue.empty()) {
            queue.pop();
            report(lost);
        }
        return;
    }
    writeNext();
}

}  // namespace krvEBLowLevel
