#ifndef TESTSUPPORT_CHILD_PROCESS_H
#define TESTSUPPORT_CHILD_PROCESS_H

#include <signal.h>
#include <sys/types.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

// A program started by a test or a benchmark. Its standard input is a pipe
// the caller types into; what it writes is either collected, for the
// caller to wait on, or discarded, for a process under measurement whose
// log the caller would otherwise have to read at the measurement's cost.
// A process still running when the object goes is killed.
class ChildProcess {
public:
    enum class Output {
        Collected,            // standard output; standard error stays the caller's
        CollectedWithErrors,  // standard output and standard error, interleaved as written
        Discarded,            // standard output to /dev/null
    };

    // words: the program (a path, or a name looked up on PATH), then its
    // arguments. Throws std::system_error when the program cannot be started.
    explicit ChildProcess(std::vector<std::string> words, Output output = Output::Collected);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return id; }
    bool running();

    // Everything collected so far.
    std::string console() const;
    // Everything collected, once the process has closed its output (it has
    // ended, say).
    std::string consoleAtEnd();
    // True once the collected output holds text.
    bool waitForConsole(const std::string& text,
                        std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;

    void type(const std::string& text);
    // The process reads end of input from now on.
    void closeInput();

    // The exit code (128 + the signal's number for a process a signal
    // ended); empty while it still runs at the deadline.
    std::optional<int> waitForExit(std::chrono::milliseconds timeout = std::chrono::seconds(10));
    // Waits up to grace for the process to end by itself, then sends it
    // signal and waits for it to end; one that outlives a signal other than
    // SIGKILL by 10 s is killed. The exit code as waitForExit gives it.
    int stop(std::chrono::milliseconds grace = {}, int signal = SIGKILL);

private:
    void collectOutput();

    pid_t id = -1;
    int input = -1;
    int output = -1;
    std::optional<int> exitCode;
    std::thread reader;
    mutable std::mutex lock;
    mutable std::condition_variable changed;
    std::string written;
};

}  // namespace testing_support

#endif
