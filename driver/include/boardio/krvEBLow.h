#ifndef BOARDIO_KRVEBLOW_H
#define BOARDIO_KRVEBLOW_H

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "commands.h"
#include "export.h"
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
    // opened or configured. An open session is closed first.
    void open();
    // Returns once the session's threads have ended: no update follows.
    void close();
    krvCommState getState();
    // Queues a copy of the command's bytes and returns at once. The bytes
    // waiting for the port are bounded (a minute of the line's time): a
    // command beyond the bound is not queued, and the observers get the error
    // "012 Command dropped: the board is not keeping up" for it. Commands
    // given while the port is being reopened are written once it is open
    // again, or reported as not written when the reopen fails.
    void sendCommand(Command* command);

    void attach(SingleBoardObserver* observer);
    void detach(SingleBoardObserver* observer);
    virtual void update(std::shared_ptr<Message> message) override;

    // Auto mode polls the board on a thread of its own; stopAuto returns
    // once that thread has ended. getAuto tells whether auto mode runs.
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
