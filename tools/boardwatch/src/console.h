#ifndef BOARDWATCH_CONSOLE_H
#define BOARDWATCH_CONSOLE_H

// boardwatch's console: lines go to standard output through a bounded writer
// of their own, so that a console nobody reads (a paused terminal, a full
// pipe) never holds up the boards, the page or the games' files. Past the
// bound the oldest lines go, and one line says how many. Control bytes are
// escaped: a relay's text never acts on the operator's terminal.

#include <chrono>
#include <string>

#include "textio/bounded_writer.h"

namespace boardwatch {

class Console {
public:
    // Bytes of lines that may wait for a console nobody reads.
    static constexpr std::size_t waitingLimit = 1024 * 1024;

    // descriptor: where the lines go, standard output unless a test says.
    explicit Console(int descriptor = 1);

    // One line, without its line feed; from any thread, never waiting.
    void line(const std::string& text);
    // Gives the console at most patience to take what waits: at exit.
    bool finish(std::chrono::milliseconds patience = textio::BoundedWriter::finishPatience) {
        return writer.finish(patience);
    }

private:
    textio::BoundedWriter writer;
};

}  // namespace boardwatch

#endif
