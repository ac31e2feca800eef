#ifndef BOARDIO_KRVEBLOW_H
#define BOARDIO_KRVEBLOW_H

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "commands.h"
#include "export.h"
#include "link_observer.h"
#include "messages.h"
#include "observer.h"

namespace krvEBLowLevel {

class SingleBoard;

// One board on one serial port: opens and closes the board session, passes
// commands to it and fans every board message out to the attached observers.
//
// Observers run on the session's I/O thread. An exception thrown from an
// observer's update is caught and dropped there: the observers behind it
// still get the message and the session goes on. From inside update,
// sendCommand, getState and the auto-mode calls are fine; open and close
// would have the I/O thread wait for its own end, so they throw
// std::logic_error there and change nothing, and the facade must not be
// deleted there either.
class BOARDIO_API krvEBLow : public SingleBoardObserver {
public:
    explicit krvEBLow(std::string& port);
    virtual ~krvEBLow();

    krvEBLow(const krvEBLow&) = delete;
    krvEBLow& operator=(const krvEBLow&) = delete;

    std::string getPort();

    // Opens the port; throws boost::system::system_error when it cannot be
    // opened or configured. An open session is closed first. Observers
    // attached before open hear every message from the first byte read.
    void open();
    // Returns once the session's thread has ended: no update follows.
    void close();
    // COMM_FAILED while the link has failed (its port is closed until
    // something reopens it) or is marked failed; otherwise as krvCommState
    // says.
    krvCommState getState();
    // Writes the command's bytes, on the caller's thread when nothing else
    // is on its way to the port and no LinkObserver is attached (a copy
    // waits otherwise), and returns without waiting.
    // The bytes waiting for the port are bounded (a minute of the line's
    // time): a command beyond the bound is not kept. The observers get one
    // report for a run of them, at most four a second: "012 Command dropped:
    // the board is not keeping up (250 commands)".
    //
    // A failed read or write (the board pulled out) closes the port at once
    // and is reported (002 to 004, 010); nothing is written to the closed
    // port. The next command reopens it, no sooner than 500 ms after it was
    // closed, and is then written; commands given meanwhile wait and follow
    // in order. When the port cannot be reopened the observers get "011
    // Could not reopen port: ..." and, for the commands that waited, one
    // "010 Could not write data: ... (3 commands)"; the next command tries
    // again. A command a failure cut short goes out whole on the reopened
    // port.
    void sendCommand(Command* command);

    // From any thread, also from inside an observer's update. A delivery
    // goes to the observers attached when it began: one detached meanwhile
    // costs no other observer the message, and may itself still get the
    // message being delivered at that moment. A LinkObserver hears the link
    // itself too (link_observer.h).
    void attach(SingleBoardObserver* observer);
    void detach(SingleBoardObserver* observer);
    virtual void update(std::shared_ptr<Message> message) override;

    // Auto mode polls the board on the session's own thread; startAuto and
    // stopAuto return at once. Nothing auto mode asks for follows a stopAuto,
    // except right after startAuto the request for updates that follows the
    // reset: a board left reset without it would stay silent.
    //
    // When the link fails, auto mode waits for the port and looks for the
    // board itself: 500 ms after the failure, then once a cycle (2.2 s),
    // each failed attempt reported with 011. Once the port is open again it
    // starts afresh with the reset.
    //
    // getAuto tells whether auto mode is on: from startAuto until stopAuto
    // or close, whether the link is up or not.
    void startAuto();
    void stopAuto();
    bool getAuto();
    void setLogging();

private:
    std::string port;
    // Read by observers' calls on the session's I/O thread too.
    std::atomic<SingleBoard*> board;
    std::vector<SingleBoardObserver*> observers;
    std::mutex observerLock;
};

}  // namespace krvEBLowLevel

#endif
