#ifndef RELAY_COMPARE_BOARD_PTY_H
#define RELAY_COMPARE_BOARD_PTY_H

#include <cstddef>
#include <string>

#include "clock.h"

namespace relay_compare {

// The board's end of a pseudo-terminal: the relay under test opens
// devicePath() as its serial port, the bench writes the board's frames into
// this end and reads what the relay sends to the board. Every wait has a
// deadline, so a relay that stops reading or writing ends a measurement
// instead of hanging the bench.
class BoardPty {
public:
    BoardPty();
    ~BoardPty();
    BoardPty(const BoardPty&) = delete;
    BoardPty& operator=(const BoardPty&) = delete;

    const std::string& devicePath() const { return device; }
    // Whether a relay has the device open by the deadline.
    bool waitForHost(Clock::time_point deadline) const;
    // How many bytes the pty took by the deadline: all of them, or fewer
    // when the relay does not read fast enough.
    std::size_t write(const unsigned char* data, std::size_t size, Clock::time_point deadline);
    // False when the deadline passed before size bytes arrived.
    bool readExactly(unsigned char* data, std::size_t size, Clock::time_point deadline);

private:
    int master = -1;
    std::string device;
};

}  // namespace relay_compare

#endif
