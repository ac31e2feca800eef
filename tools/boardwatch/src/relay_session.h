#ifndef BOARDWATCH_RELAY_SESSION_H
#define BOARDWATCH_RELAY_SESSION_H

// One relay's conversation, as a draughts program holds it, without the
// connection itself: lines and time go in, lines to send come out. It asks
// for the board, switches its updates on, asks for the clock every second,
// and asks again for whatever the relay or the board lost.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "relay_line.h"

namespace boardwatch {

using Time = std::chrono::steady_clock::time_point;

enum class LinkState {
    Connecting,       // no connection to the relay yet, or no answer on it
    Unreachable,      // the relay refused the connection, or it failed or ended; tried again
    NameNotFound,     // the relay's host name does not resolve
    RelayBusy,        // the relay serves another program
    NoBoard,          // the relay cannot open the board's port
    WaitingForBoard,  // the port is open; the board has not answered yet
    Following,        // the board's messages arrive
    BoardLost,        // the board's link failed (a pulled cable); asking until it answers
};

const char* nameOf(LinkState state);  // "connecting", "not reached", "name not found", "relay busy", ...

// How a connection to the relay ended, or why none was made.
enum class Closure {
    Lost,          // refused, reset, closed, or no answer
    NameNotFound,  // the relay's host name does not resolve
};

class RelaySession {
public:
    // How long the relay may take to greet and to answer a COM line.
    static constexpr std::chrono::seconds answerTime{10};
    // How often the clock is asked for, and a lost board asked to answer.
    static constexpr std::chrono::seconds pollInterval{1};
    // How long after "ERROR" to a COM line it is tried again.
    static constexpr std::chrono::seconds retryBoard{3};

    RelaySession(std::string portName, std::string programName);

    struct Output {
        std::vector<std::string> lines;  // to send, in order
        bool hangUp = false;             // close the connection: the relay does not answer, or serves another program
    };

    void opened(Time now);
    // A line from the relay; what it means for the game is the caller's
    // (readRelayLine gives the same reading).
    Output received(const RelayLine& line, Time now);
    Output takeDue(Time now);
    std::optional<Time> nextDue() const;
    // The connection ended or could not be made. The delay before the next
    // try grows from one second to five while the relay stays away, and to
    // thirty while it serves another program ("#busy"), which may go on for
    // a whole game.
    std::chrono::milliseconds closed(const std::string& reason, Closure how = Closure::Lost);

    LinkState state() const { return link; }
    // The relay's last word on the link: its error line, "ERROR" and so on.
    const std::string& detail() const { return why; }

private:
    enum class Step { Closed, Greeting, Busy, OpeningPort, PortRefused, Open };

    Output openPort(Time now);

    std::string portName;
    std::string programName;
    Step step = Step::Closed;
    LinkState link = LinkState::Connecting;
    std::string why;
    std::optional<Time> due;
    int failedConnections = 0;
};

}  // namespace boardwatch

#endif
