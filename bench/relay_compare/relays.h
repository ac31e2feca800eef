#ifndef RELAY_COMPARE_RELAYS_H
#define RELAY_COMPARE_RELAYS_H

#include <virtualboard/virtual_board.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "child_process.h"
#include "program_client.h"

namespace relay_compare {

using Clock = std::chrono::steady_clock;
using testing_support::ChildProcess;
using testing_support::ProgramClient;
using virtualboard::Bytes;
using virtualboard::VirtualBoard;

// The frames the board sends in every measurement: field updates (id 0x8E,
// size 5, then the square and the piece code). The index-th one of a run
// names square 1 + index % 50 and piece code index / 50 % 16, so a line lost
// or out of order shows as a mismatch within 800 frames.
Bytes fieldUpdateFrame(long index);

// The board's request for a board dump, as a relay writes it to the port.
constexpr unsigned char sendBoardByte = 0x42;

// How long starting, connecting and ending a relay may take.
constexpr std::chrono::seconds startTimeout{5};

// A relay process with a program connected to it and the board's device open.
struct RelayRun {
    std::unique_ptr<ChildProcess> process;
    std::unique_ptr<ProgramClient> program;
};

// One relay under test; the measurements see only this.
// - damrelay in program-controlled mode: the program reads the greeting,
//   asks for the board with "COM9" (mapped to the board's pty) and waits for
//   "CONN"; board frames come back as text lines. Its console goes to
//   /dev/null.
// - socat copying bytes between the same pty and one TCP connection: the
//   floor of what any relay on this path can do. It opens the pty's device
//   side as damrelay does; the program receives the raw frame bytes and
//   sends the request byte itself.
class Relay {
public:
    enum class Kind { Damrelay, Socat };
    Relay(Kind kind, std::string binary);

    std::string name() const { return kind == Kind::Damrelay ? "damrelay" : "socat"; }
    // The command line, with <pty> and <port> for what each run picks.
    std::string commandLine() const;
    // What the relay says of its own version: socat's -V, damrelay's
    // greeting once a run has read it. Empty for a socat that cannot be run.
    const std::string& version() const { return versionText; }

    // Starts the relay on the board's device and connects a program to it;
    // on return the relay has the device open. Throws when that fails.
    std::unique_ptr<RelayRun> start(const VirtualBoard& board) const;
    // Ends a run as its program would, killing the relay if it does not go.
    void finish(RelayRun& run) const;

    // What the program receives for one board frame.
    std::string programSideOf(const Bytes& frame) const;
    // What the program sends so that the board receives sendBoardByte.
    std::string sendBoardRequest() const { return kind == Kind::Damrelay ? "66\n" : "\x42"; }

private:
    std::vector<std::string> command(const std::string& device, const std::string& port) const;

    Kind kind;
    std::string binary;
    mutable std::string versionText;
};

}  // namespace relay_compare

#endif
