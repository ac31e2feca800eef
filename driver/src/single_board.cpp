#include "single_board.h"

#include <boost/asio/post.hpp>
#include <boost/system/system_error.hpp>

#include "observer_list.h"

namespace krvEBLowLevel {

namespace {

constexpr int versionMessageType = 19;
constexpr int errorMessageType = 127;

}  // namespace

SingleBoard::SingleBoard(const std::string& port)
    : port(port),
      work(boost::asio::make_work_guard(ioService)),
      reconnectTimer(ioService),
      link(SerialConnection::open(port, ioService)) {
    // Attached before the loop runs, so no frame can slip past us and no
    // delivery walks the link's list while we change it.
    link->attach(this);
    // One loop for the whole session: the work guard keeps it running after
    // the link has failed, so later writes still run and report.
    ioThread = std::thread([this] { ioService.run(); });
}

SingleBoard::~SingleBoard() { close(); }

void SingleBoard::attach(SingleBoardObserver* observer) { observers::attach(observers, observerLock, observer); }

void SingleBoard::close() {
    if (closed) return;
    closed = true;
    closing = true;
    stopAuto();
    if (std::shared_ptr<SerialConnection> current = currentLink()) current->detach(this);
    boost::asio::post(ioService, [this] {
        reconnectTimer.cancel();
        if (std::shared_ptr<SerialConnection> current = currentLink()) {
            try {
                current->close();
            } catch (const boost::system::system_error&) {
                // Nobody is left to tell: the observers have been detached.
            }
        }
    });
    // The run ends once the close has run and the aborted read and any
    // write in flight have completed.
    work.reset();
    if (ioThread.joinable()) ioThread.join();
    {
        std::lock_guard<std::mutex> guard(linkLock);
        link.reset();
    }
    state = COMM_CLOSED;
}

void SingleBoard::update(std::shared_ptr<krvSerialMessage> frame) { dispatch(frame, true); }

void SingleBoard::dispatch(const std::shared_ptr<krvSerialMessage>& frame, bool mayReconnect) {
    // Once closing has begun nothing more reaches the observers, not even the
    // aborted read of a link that was attached in the meantime.
    if (closing) return;
    const int type = frame->id & 0x7F;
    const std::shared_ptr<Message> message = createMessage(frame->frame);
    if (!message) return;
    if (type == versionMessageType) {
        failed = false;
        reconnectAttempts = 0;
    }
    if (type == errorMessageType && mayReconnect) handleLinkError(message);
    notify(message);
}

void SingleBoard::notify(const std::shared_ptr<Message>& message) {
    observers::notify(observers, observerLock, message);
}

void SingleBoard::sendCommand(Command* command) {
    if (command == nullptr) return;
    if (failed) {
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
    std::vector<unsigned char> block;
    const short count = command->size;
    const unsigned char* bytes = command->getData();
    if (count >= 1 && count <= commandCapacity && bytes != nullptr) block.assign(bytes, bytes + count);
    writeBlock(std::move(block));
}

void SingleBoard::writeBlock(std::vector<unsigned char> block) {
    // The link is chosen on the I/O thread, where a reconnection replaces
    // it: a block never lands on a link that has just been let go, where its
    // failure would reach no observer.
    boost::asio::post(ioService, [this, block = std::move(block)]() mutable {
        if (link) {
            link->doWrite(std::move(block));
        } else {
            reportWriteWithoutLink();
        }
    });
}

std::shared_ptr<SerialConnection> SingleBoard::currentLink() {
    std::lock_guard<std::mutex> guard(linkLock);
    return link;
}

}  // namespace krvEBLowLevel
