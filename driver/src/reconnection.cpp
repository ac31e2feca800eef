// Reopening the port of a board connection whose link has failed.
//
// A reconnection starts inside the delivery of an error frame, on the I/O
// thread and often inside the failing link's own delivery. So it never waits
// for that thread and never destroys that link: it drops its reference (the
// link's pending completion keeps it alive until it has returned) and waits
// for the reopen on a timer of the same loop.

#include <boost/asio/error.hpp>
#include <boost/format.hpp>
#include <boost/system/system_error.hpp>

#include "single_board.h"

namespace krvEBLowLevel {

void SingleBoard::handleLinkError(const std::shared_ptr<Message>&) {
    // Only the port counts: an error delivered while the port is still open
    // (a stray byte, or a read error that is about to close it) is no cause.
    if (closing || reconnectDue) return;
    if (link && link->isOpen()) return;

    ++reconnectAttempts;
    if (reconnectAttempts > attemptLimit) {
        failed = true;
        state = COMM_FAILED;
    }
    stopAuto();
    if (link) link->detach(this);
    {
        std::lock_guard<std::mutex> guard(linkLock);
        link.reset();
    }
    reconnectDue = true;
    reconnectTimer.expires_after(reconnectPause);
    reconnectTimer.async_wait([this](const boost::system::error_code& error) {
        reconnectDue = false;
        if (!error) reopen();
    });
}

void SingleBoard::reopen() {
    if (closing) return;
    try {
        std::shared_ptr<SerialConnection> fresh = SerialConnection::open(port, ioService);
        fresh->attach(this);
        std::lock_guard<std::mutex> guard(linkLock);
        link = fresh;
    } catch (const boost::system::system_error& error) {
        // The device is still gone. The connection stays without a link; the
        // next write reports that and tries again. This report itself must
        // not start another attempt.
        dispatch(makeErrorFrame((boost::format("011 Could not reopen port: %1%") % error.code()).str()), false);
    }
}

void SingleBoard::reportWriteWithoutLink() {
    const boost::system::error_code notConnected = boost::asio::error::not_connected;
    dispatch(makeErrorFrame((boost::format("010 Could not write data: %1%") % notConnected).str()), true);
}

}  // namespace krvEBLowLevel
