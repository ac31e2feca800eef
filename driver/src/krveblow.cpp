#include "boardio/krvEBLow.h"

#include <memory>

#include "observer_list.h"
#include "single_board.h"

namespace krvEBLowLevel {

krvEBLow::krvEBLow(std::string& port) : port(port), board(nullptr) {}

// A session still open closes itself in its own destructor.
krvEBLow::~krvEBLow() { delete board; }

std::string krvEBLow::getPort() { return port; }

void krvEBLow::open() {
    // Two sessions on one facade would fight over the port: end the old one.
    close();
    std::unique_ptr<SingleBoard> session(new SingleBoard(port));
    session->attach(this);
    board = session.release();
}

void krvEBLow::close() {
    if (board == nullptr) return;
    board->close();
    delete board;
    board = nullptr;
}

krvCommState krvEBLow::getState() { return board ? board->getState() : COMM_CLOSED; }

void krvEBLow::sendCommand(Command* command) {
    if (board) board->sendCommand(command);
}

void krvEBLow::attach(SingleBoardObserver* observer) { observers::attach(observers, observerLock, observer); }

void krvEBLow::detach(SingleBoardObserver* observer) { observers::detach(observers, observerLock, observer); }

void krvEBLow::update(std::shared_ptr<Message> message) { observers::notify(observers, observerLock, message); }

void krvEBLow::startAuto() {
    if (board) board->startAuto();
}

void krvEBLow::stopAuto() {
    if (board) board->stopAuto();
}

bool krvEBLow::getAuto() { return board != nullptr && board->isAutoRunning(); }

void krvEBLow::setLogging() {}

}  // namespace krvEBLowLevel
