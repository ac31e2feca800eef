#ifndef RELAY_COMPARE_CHILD_PROCESS_H
#define RELAY_COMPARE_CHILD_PROCESS_H

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace relay_compare {

// A relay started for one run, with its standard output discarded (the
// relay's console log would otherwise mix into the table). The destructor
// kills a process that is still running.
class ChildProcess {
public:
    // Looks the program up on PATH unless it is a path; throws when it
    // cannot be started.
    explicit ChildProcess(const std::vector<std::string>& arguments);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return id; }
    bool running();
    // Waits up to grace for the process to end by itself, then kills it.
    // The exit code, or 128 + the signal that ended it.
    int stop(std::chrono::milliseconds grace);

private:
    pid_t id = -1;
    int exitCode = -1;
};

}  // namespace relay_compare

#endif
