#ifndef BOARDSIM_TESTS_BOARDSIM_PROCESS_H
#define BOARDSIM_TESTS_BOARDSIM_PROCESS_H

// The real boardsim program, started for a test: the board a user plugs in
// (starts it) and pulls out (ends it).

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

// boardsim with its console in a log file and nothing to read on its input.
class BoardsimProcess {
public:
    BoardsimProcess(std::vector<std::string> words, const std::string& log) {
        words.insert(words.begin(), BOARDSIM_BINARY);
        std::vector<char*> argv;
        for (std::string& word : words) argv.push_back(word.data());
        argv.push_back(nullptr);
        pid = ::fork();
        if (pid != 0) return;
        const int in = ::open("/dev/null", O_RDONLY);
        const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(out, 2);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ~BoardsimProcess() { stop(); }
    BoardsimProcess(const BoardsimProcess&) = delete;
    BoardsimProcess& operator=(const BoardsimProcess&) = delete;

    // True once the board's --link points at its pseudo-terminal.
    bool waitForLink(const std::string& link) const {
        for (auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
             std::chrono::steady_clock::now() < deadline; std::this_thread::sleep_for(std::chrono::milliseconds(10))) {
            char target[256] = {};
            if (::readlink(link.c_str(), target, sizeof target - 1) > 0 && std::string(target).rfind("/dev/pts/", 0) == 0) {
                return true;
            }
        }
        return false;
    }

    void stop() {
        if (pid <= 0) return;
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
        pid = -1;
    }

private:
    pid_t pid = -1;
};

}  // namespace testing_support

#endif
