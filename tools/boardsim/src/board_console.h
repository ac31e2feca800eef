#ifndef BOARDSIM_BOARD_CONSOLE_H
#define BOARDSIM_BOARD_CONSOLE_H

#include <chrono>
#include <ostream>
#include <streambuf>
#include <string>

#include "textio/bounded_writer.h"

namespace boardsim {

// boardsim's console: what the board says goes to standard output on a
// writer thread of its own, so that a console nobody reads (a pipe whose
// reader stalls, a stopped terminal) never holds up the board. Past 1 MiB
// waiting, the oldest lines go, and the console says how many.
class BoardConsole {
public:
    BoardConsole();
    BoardConsole(const BoardConsole&) = delete;
    BoardConsole& operator=(const BoardConsole&) = delete;

    // Text written here goes to the writer at each flush.
    std::ostream& stream() { return out; }
    // Hands over what was written and gives standard output at most
    // patience to take it: a board that ends does not wait for its console.
    void finish(std::chrono::milliseconds patience);

private:
    // Collects what the stream writes until it is flushed.
    class Handoff : public std::streambuf {
    public:
        explicit Handoff(textio::BoundedWriter& writer) : writer(writer) {}

    protected:
        int_type overflow(int_type c) override;
        std::streamsize xsputn(const char* text, std::streamsize count) override;
        int sync() override;

    private:
        textio::BoundedWriter& writer;
        std::string pending;
    };

    textio::BoundedWriter writer;
    Handoff handoff{writer};
    std::ostream out{&handoff};
};

}  // namespace boardsim

#endif
