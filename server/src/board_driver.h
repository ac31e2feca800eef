#ifndef DAMRELAY_BOARD_DRIVER_H
#define DAMRELAY_BOARD_DRIVER_H

#include <boardio/boardio.h>

#include <functional>
#include <memory>
#include <string>

// What the relay uses of the driver for one board connection: krvEBLow in the
// program, a stand-in in tests of the session.
class BoardDriver {
public:
    virtual ~BoardDriver() = default;
    virtual void attach(krvEBLowLevel::SingleBoardObserver* observer) = 0;
    virtual void detach(krvEBLowLevel::SingleBoardObserver* observer) = 0;
    // Throws (boost::system::system_error) when the port cannot be opened.
    virtual void open() = 0;
    // When it returns, no message is being delivered and none follows.
    virtual void close() = 0;
    // The command may be deleted as soon as this returns.
    virtual void sendCommand(krvEBLowLevel::Command* command) = 0;
    // COMM_FAILED while the link to the board has failed (the board pulled
    // out): its port is closed.
    virtual krvEBLowLevel::krvCommState getState() = 0;
};

// Makes the driver of a new board connection on a serial device.
using BoardDriverFactory = std::function<std::unique_ptr<BoardDriver>(const std::string& device)>;

// Makes krvEBLow drivers.
BoardDriverFactory krvEBLowFactory();

#endif
