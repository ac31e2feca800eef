#ifndef DAMRELAY_TESTS_RELAY_PROCESS_H
#define DAMRELAY_TESTS_RELAY_PROCESS_H

// The real relay program, started for a test with its console on pipes.

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace testing_support {

class RelayProcess {
public:
    // command: the program and the words before the relay's arguments, for
    // a relay started through another program (wine damrelay.exe).
    explicit RelayProcess(const std::vector<std::string>& arguments,
                          std::vector<std::string> command = {DAMRELAY_BINARY}) {
        std::vector<std::string> words = std::move(command);
        words.insert(words.end(), arguments.begin(), arguments.end());
        std::vector<char*> argv;
        for (std::string& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);

        int toRelay[2], fromRelay[2];
        if (::pipe2(toRelay, O_CLOEXEC) != 0 || ::pipe2(fromRelay, O_CLOEXEC) != 0) return;
        pid = ::fork();
        if (pid == 0) {
            ::dup2(toRelay[0], 0);
            ::dup2(fromRelay[1], 1);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        ::close(toRelay[0]);
        ::close(fromRelay[1]);
        input = toRelay[1];
        output = fromRelay[0];
        reader = std::thread([this] { collectOutput(); });
    }

    ~RelayProcess() {
        if (!exitCode && pid > 0) {
            ::kill(pid, SIGKILL);
            int status = 0;
            ::waitpid(pid, &status, 0);
        }
        closeInput();
        if (reader.joinable()) reader.join();
        if (output >= 0) ::close(output);
    }
    RelayProcess(const RelayProcess&) = delete;
    RelayProcess& operator=(const RelayProcess&) = delete;

    // Everything the relay wrote to its console so far.
    std::string console() const {
        std::lock_guard<std::mutex> hold(lock);
        return written;
    }

    // True once the console holds text.
    bool waitForConsole(const std::string& text, std::chrono::milliseconds timeout = std::chrono::seconds(10)) const {
        std::unique_lock<std::mutex> hold(lock);
        return changed.wait_for(hold, timeout, [&] { return written.find(text) != std::string::npos; });
    }

    void type(const std::string& text) {
        if (input >= 0 && ::write(input, text.data(), text.size()) < 0) closeInput();
    }
    void closeInput() {
        if (input >= 0) ::close(input);
        input = -1;
    }

    // The exit code (128 + signal number for a relay a signal ended); empty
    // while it still runs at the deadline.
    std::optional<int> waitForExit(std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (!exitCode && pid > 0) {
            int status = 0;
            if (::waitpid(pid, &status, WNOHANG) == pid) {
                exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
                break;
            }
            if (std::chrono::steady_clock::now() > deadline) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return exitCode;
    }

private:
    void collectOutput() {
        char buffer[4096];
        for (;;) {
            const ssize_t count = ::read(output, buffer, sizeof buffer);
            if (count <= 0) return;
            std::lock_guard<std::mutex> hold(lock);
            written.append(buffer, static_cast<std::size_t>(count));
            changed.notify_all();
        }
    }

    pid_t pid = -1;
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
