#ifndef BOARDIO_OBSERVER_H
#define BOARDIO_OBSERVER_H

#include <memory>

#include "export.h"
#include "messages.h"

namespace krvEBLowLevel {

// Coarse communication state of a board connection, kept as one 32-bit word.
//
// COMM_FAILED holds while the link has failed and its port is closed, and
// while the link is marked failed: after more than three attempts to reopen
// the port since the board last sent a message. The board's next message
// clears the mark, and the state is then again the one the state-changing
// commands made it (those given meanwhile too), without a command having to
// be sent.
enum krvCommState {
    COMM_CLOSED = 0,     // no board connection
    COMM_FAILED = 1,     // the link has failed, or is marked failed (above)
    COMM_IDLE = 2,       // just opened, or the last state-changing command was a reset
    COMM_BOARD = 3,      // the last state-changing command asked for the board
    COMM_UPDATE_BRD = 4  // the last state-changing command asked for board updates
};

// Receives every decoded board message, on the board connection's I/O thread.
class BOARDIO_API SingleBoardObserver {
public:
    virtual ~SingleBoardObserver() {}
    virtual void update(std::shared_ptr<Message> message) = 0;
};

}  // namespace krvEBLowLevel

#endif
