#ifndef DAMRELAY_PROGRAM_SLOT_H
#define DAMRELAY_PROGRAM_SLOT_H

#include <atomic>
#include <memory>
#include <string>

#include "line_sink.h"

// The draughts program the relay's lines go to, reached from the session's
// thread and the board's without a lock: a line on its way takes only its
// connection's own. The session sets the program; once set() returns, no
// line is on its way to the one it replaced, which may then go.
//
// Each sender counts itself in, under the current epoch, for as long as it
// uses the program; set() moves to the next epoch and waits for the senders
// of the last one only, so that the lines of a busy board cannot keep it
// waiting.
class ProgramSlot {
public:
    // The session's thread only.
    void set(std::shared_ptr<LineSink> program);
    bool present() const { return current.load() != nullptr; }
    // Any thread. False when no program takes the line.
    bool send(const std::string& text);

private:
    std::shared_ptr<LineSink> owned;  // the session's thread only
    std::atomic<LineSink*> current{nullptr};
    std::atomic<unsigned> epoch{0};
    std::atomic<unsigned> senders[2] = {0, 0};
};

#endif
