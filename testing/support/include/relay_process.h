#ifndef TESTSUPPORT_RELAY_PROCESS_H
#define TESTSUPPORT_RELAY_PROCESS_H

// The real relay program, started for a test with its console on pipes.
// DAMRELAY_BINARY is its path (add_test_programs' PROGRAMS damrelay).

#include <string>
#include <vector>

#include "child_process.h"

namespace testing_support {

class RelayProcess : public ChildProcess {
public:
    // command: the program and the words before the relay's arguments, for
    // a relay started through another program (wine damrelay.exe).
    explicit RelayProcess(const std::vector<std::string>& arguments,
                          std::vector<std::string> command = {DAMRELAY_BINARY})
        : ChildProcess(joined(std::move(command), arguments)) {}

private:
    static std::vector<std::string> joined(std::vector<std::string> words, const std::vector<std::string>& more) {
        words.insert(words.end(), more.begin(), more.end());
        return words;
    }
};

}  // namespace testing_support

#endif
