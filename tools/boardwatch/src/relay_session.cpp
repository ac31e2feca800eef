#include "relay_session.h"

#include <algorithm>

namespace boardwatch {

namespace {

constexpr std::chrono::milliseconds firstReconnect{1000};
constexpr std::chrono::milliseconds longestReconnect{5000};
constexpr std::chrono::milliseconds longestReconnectWhenBusy{30000};

// 75: a square change for each lift and put, and the whole board after each
// move, which the relay's board also sends at once; 66 asks for the board
// too, for a board that does not.
const std::vector<std::string> switchUpdatesOn{"75", "66"};
const std::string askClock = "65";

}  // namespace

const char* nameOf(LinkState state) {
    switch (state) {
        case LinkState::Connecting: return "connecting";
        case LinkState::Unreachable: return "not reached";
        case LinkState::NameNotFound: return "name not found";
        case LinkState::RelayBusy: return "relay busy";
        case LinkState::NoBoard: return "no board";
        case LinkState::WaitingForBoard: return "waiting for the board";
        case LinkState::Following: return "following";
        case LinkState::BoardLost: return "board lost";
    }
    return "";
}

RelaySession::RelaySession(std::string portName, std::string programName)
    : portName(std::move(portName)), programName(std::move(programName)) {}

void RelaySession::opened(Time now) {
    // A relay that said it is busy is busy until it greets.
    if (link != LinkState::RelayBusy) link = LinkState::Connecting;
    step = Step::Greeting;
    why = "waiting for the relay's greeting";
    due = now + answerTime;
}

RelaySession::Output RelaySession::openPort(Time now) {
    step = Step::OpeningPort;
    due = now + answerTime;
    return {{portName}};
}

RelaySession::Output RelaySession::received(const RelayLine& line, Time now) {
    using Kind = RelayLine::Kind;
    Output output;
    switch (step) {
        case Step::Closed:
        case Step::Busy:
        case Step::PortRefused:
            break;
        case Step::Greeting:
            if (line.kind == Kind::Busy) {
                // Not a greeting: the waits go on growing.
                step = Step::Busy;
                link = LinkState::RelayBusy;
                why = "refused: " + line.text.substr(std::min(line.text.size(), line.text.find_first_not_of(": ", 5)));
                due.reset();
                output.hangUp = true;
                break;
            }
            if (line.kind != Kind::Comment) break;
            failedConnections = 0;
            // No longer busy, nor unknown by name.
            link = LinkState::Connecting;
            why = "asking for " + portName;
            output = openPort(now);
            // A comment names the program on the relay's console.
            output.lines.insert(output.lines.begin(), "#" + programName);
            break;
        case Step::OpeningPort:
            if (line.kind == Kind::Connected) {
                step = Step::Open;
                link = LinkState::WaitingForBoard;
                why = portName + " open";
                output.lines = switchUpdatesOn;
                due = now + pollInterval;
            } else if (line.kind == Kind::Refused) {
                step = Step::PortRefused;
                link = LinkState::NoBoard;
                why = "the relay cannot open " + portName;
                due = now + retryBoard;
            }
            break;
        case Step::Open:
            if (line.kind == Kind::BoardDump || line.kind == Kind::SquareChange) {
                link = LinkState::Following;
                why.clear();
            } else if (line.kind == Kind::LinkLost) {
                link = LinkState::BoardLost;
                why = line.text;
            } else if (line.kind == Kind::Refused) {
                // A request found no board on the relay.
                step = Step::PortRefused;
                link = LinkState::NoBoard;
                why = "the relay has no board";
                due = now + retryBoard;
            } else if (line.kind == Kind::Disconnected) {
                link = LinkState::WaitingForBoard;
                why = "the relay let the board go";
                output = openPort(now);
            }
            break;
    }
    return output;
}

RelaySession::Output RelaySession::takeDue(Time now) {
    Output output;
    if (!due || now < *due) return output;
    switch (step) {
        case Step::Closed:
        case Step::Busy:
            due.reset();
            break;
        case Step::Greeting:
        case Step::OpeningPort:
            // Silence: another program may hold the relay.
            output.hangUp = true;
            due.reset();
            break;
        case Step::PortRefused:
            output = openPort(now);
            break;
        case Step::Open:
            // A board that is not following yet is asked again to switch
            // its updates on: after a pulled cable it comes back without
            // them.
            output.lines = link == LinkState::Following ? std::vector<std::string>{askClock} : switchUpdatesOn;
            due = now + pollInterval;
            break;
    }
    return output;
}

std::optional<Time> RelaySession::nextDue() const { return due; }

std::chrono::milliseconds RelaySession::closed(const std::string& reason, Closure how) {
    const bool busy = step == Step::Busy;
    step = Step::Closed;
    due.reset();
    if (busy) {
        // The relay's own word stays: it says why better than the closing.
        link = LinkState::RelayBusy;
    } else {
        link = how == Closure::NameNotFound ? LinkState::NameNotFound : LinkState::Unreachable;
        why = reason;
    }
    const int doublings = std::min(failedConnections++, 5);
    return std::min(firstReconnect * (1 << doublings), busy ? longestReconnectWhenBusy : longestReconnect);
}

}  // namespace boardwatch
