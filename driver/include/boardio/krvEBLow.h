#ifndef BOARDIO_KRVEBLOW_H
#define BOARDIO_KRVEBLOW_H

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
    SingleBoard* board;
    std::vector<SingleBoardObserver*> observers;
    std::mutex observerLock;
};

}  // namespace krvEBLowLevel

#endif
