#include "program_slot.h"

#include <thread>

bool ProgramSlot::send(const std::string& text) {
    unsigned counted = epoch;
    for (;;) {
        ++senders[counted % 2];
        // Counted under the epoch still current: a set() that began
        // meanwhile waits for us, or we count again under its new one.
        const unsigned now = epoch;
        if (now == counted) break;
        --senders[counted % 2];
        counted = now;
    }
    LineSink* const program = current;
    const bool sent = program != nullptr && program->sendLine(text);
    --senders[counted % 2];
    return sent;
}

void ProgramSlot::set(std::shared_ptr<LineSink> program) {
    current = program.get();
    // Senders that may still hold the old program were counted under the
    // epoch before this one; those that come now find the new program.
    const unsigned old = epoch++;
    while (senders[old % 2] != 0) std::this_thread::yield();
    owned = std::move(program);
}
