#ifndef BOARDIO_OBSERVER_H
#define BOARDIO_OBSERVER_H

#include <memory>

#include "export.h"
#include "messages.h"

namespace krvEBLowLevel {

// Coarse communication state of a board connection, kept as one 32-bit word.
enum krvCommState {
    COMM_CLOSED = 0,     // no board connection
    COMM_FAILED = 1,     // link marked failed after repeated reconnection attempts
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
