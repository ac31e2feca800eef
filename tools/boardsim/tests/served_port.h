#ifndef BOARDSIM_TESTS_SERVED_PORT_H
#define BOARDSIM_TESTS_SERVED_PORT_H

#include <chrono>
#include <string>

#include "child_process.h"

namespace testing_support {

// The port that a boardsim started with --tcp 127.0.0.1:0 says it serves
// the board on; 0 when it has said none by the deadline.
inline int servedPort(const ChildProcess& boardsim, std::chrono::milliseconds patience) {
    const std::string said = "board on tcp:127.0.0.1:";
    if (!boardsim.waitForConsole(said, patience)) return 0;
    const std::string console = boardsim.console();
    return std::atoi(console.c_str() + console.find(said) + said.size());
}

// What a board sends for 0x42 from the starting position: the dump frame.
inline std::string startingBoardDump() {
    std::string frame{'\x86', '\x00', '\x35'};
    frame += std::string(20, '\x07') + std::string(10, '\x00') + std::string(20, '\x01');
    return frame;
}

}  // namespace testing_support

#endif
