#include "boardio/krvEBLow.h"

#include <memory>

#include "audience.h"
#include "single_board.h"

namespace krvEBLowLevel {

krvEBLow::krvEBLow(std::string& port) : port(port), board(nullptr) {}

// A session still open closes itself in its own destructor.
krvEBLow::~krvEBLow() { delete board.load(); }

std::string krvEBLow::getPort() { return port; }

void krvEBLow::open() {
    // Two sessions on one facade would fight over the port: end the old one.
    close();
    // We are the session's observer from its first byte on, and it is ours
    // before its thread starts: from the first delivery on, an observer may
    // call us from that thread.
    std::unique_ptr<SingleBoard> session(new SingleBoard(port, *this, observers, observerLock));
    board = session.get();
    try {
        session->start();
    } catch (...) {
        board = nullptr;
        throw;
    }
    session.release();
}

void krvEBLow::close() {
    SingleBoard* const current = board;
    if (current == nullptr) return;
    current->close();  // refuses on the I/O thread, before anything changes
    board = nullptr;
    delete current;
}

krvCommState krvEBLow::getState() {
    SingleBoard* const current = board;
    return current ? current->getState() : COMM_CLOSED;
}

void krvEBLow::sendCommand(Command* command) {
    if (SingleBoard* const current = board) current->sendCommand(command);
}

void krvEBLow::attach(SingleBoardObserver* observer) { observers::attach(observers, observerLock, observer); }

void krvEBLow::detach(SingleBoardObserver* observer) { observers::detach(observers, observerLock, observer); }

void krvEBLow::update(std::shared_ptr<Message> message) {
    // The session's own deliveries need no lock; anyone else's take the list
    // as it is now.
    SingleBoard* const current = board;
    if (current != nullptr && current->onIoThread()) {
        current->deliverToObservers(message);
    } else {
        observers::notify(observers, observerLock, message);
    }
}

void krvEBLow::startAuto() {
    if (SingleBoard* const current = board) current->startAuto();
}

void krvEBLow::stopAuto() {
    if (SingleBoard* const current = board) current->stopAuto();
}

bool krvEBLow::getAuto() {
    SingleBoard* const current = board;
    return current != nullptr && current->isAutoRunning();
}

void krvEBLow::setLogging() {}

void LinkObserver::update(std::shared_ptr<Message>) {}

}  // namespace krvEBLowLevel
