#ifndef RELAY_COMPARE_RELAY_SUBJECT_H
#define RELAY_COMPARE_RELAY_SUBJECT_H

#include <memory>
#include <string>

#include "board_pty.h"
#include "child_process.h"
#include "clock.h"
#include "tcp_client.h"

namespace relay_compare {

// A relay process with a program connected to it and the board's device open.
struct RelayRun {
    RelayRun(std::unique_ptr<ChildProcess> process, TcpClient program)
        : process(std::move(process)), program(std::move(program)) {}
    std::unique_ptr<ChildProcess> process;
    TcpClient program;
};

// One relay under test. The measurements see only this: how to start it on
// a board and connect a program, what the program receives for a board
// frame, and what the program sends for the board's send-board request.
class RelaySubject {
public:
    virtual ~RelaySubject() = default;

    virtual std::string name() const = 0;
    // The command line, with <pty> and <port> for what each run picks.
    virtual std::string commandLine() const = 0;
    // What the relay says of its own version (after a first run for a
    // relay that only says it to its program).
    virtual std::string version() const = 0;

    // Starts the relay on the board's device and connects a program to it;
    // on return the relay has the device open. Throws when that fails.
    virtual std::unique_ptr<RelayRun> start(const BoardPty& board) const = 0;
    // Ends a run as its program would, killing the relay if it does not go.
    virtual void finish(RelayRun& run) const = 0;

    // What the program receives for one board frame.
    virtual Bytes programSideOf(const Bytes& frame) const = 0;
    // What the program sends so that the board receives sendBoardByte.
    virtual Bytes sendBoardRequest() const = 0;
};

// How long starting, connecting and ending a relay may take.
constexpr std::chrono::seconds startTimeout{5};

}  // namespace relay_compare

#endif
