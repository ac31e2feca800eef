#include "child_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

extern char** environ;

namespace testing_support {

namespace {

int exitCodeOf(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status); }

// Both ends close on exec: the child gets its end through a dup2, and no
// other child started meanwhile holds either end open.
void makePipe(int ends[2]) {
    if (::pipe2(ends, O_CLOEXEC) != 0) throw std::system_error(errno, std::generic_category(), "pipe2");
}

}  // namespace

ChildProcess::ChildProcess(std::vector<std::string> words, Output mode) {
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    int toChild[2], fromChild[2] = {-1, -1};
    makePipe(toChild);
    if (mode != Output::Discarded) makePipe(fromChild);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toChild[0], 0);
    if (mode == Output::Discarded) {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    } else {
        posix_spawn_file_actions_adddup2(&actions, fromChild[1], 1);
    }
    if (mode == Output::CollectedWithErrors) posix_spawn_file_actions_adddup2(&actions, fromChild[1], 2);
    const int failed = ::posix_spawnp(&id, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);

    ::close(toChild[0]);
    if (fromChild[1] >= 0) ::close(fromChild[1]);
    input = toChild[1];
    output = fromChild[0];
    if (failed != 0) {
        id = -1;
        closeInput();
        if (output >= 0) ::close(output);
        throw std::system_error(failed, std::generic_category(), "cannot start " + words[0]);
    }
    if (output >= 0) reader = std::thread([this] { collectOutput(); });
}

ChildProcess::~ChildProcess() {
    stop();
    closeInput();
    if (reader.joinable()) reader.join();
    if (output >= 0) ::close(output);
}

bool ChildProcess::running() { return !waitForExit(std::chrono::milliseconds(0)); }

std::string ChildProcess::console() const {
    std::lock_guard<std::mutex> hold(lock);
    return written;
}

std::string ChildProcess::consoleAtEnd() {
    if (reader.joinable()) reader.join();
    return console();
}

bool ChildProcess::waitForConsole(const std::string& text, std::chrono::milliseconds timeout) const {
    std::unique_lock<std::mutex> hold(lock);
    // Each look starts where the last one could not have matched: the
    // console of a flood runs to megabytes, read a few kilobytes at a time.
    std::size_t from = 0;
    return changed.wait_for(hold, timeout, [&] {
        if (written.find(text, from) != std::string::npos) return true;
        from = written.size() >= text.size() ? written.size() - text.size() + 1 : 0;
        return false;
    });
}

void ChildProcess::type(const std::string& text) {
    if (input >= 0 && ::write(input, text.data(), text.size()) < 0) closeInput();
}

void ChildProcess::closeInput() {
    if (input >= 0) ::close(input);
    input = -1;
}

std::optional<int> ChildProcess::waitForExit(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!exitCode && id > 0) {
        int status = 0;
        if (::waitpid(id, &status, WNOHANG) == id) {
            exitCode = exitCodeOf(status);
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return exitCode;
}

int ChildProcess::stop(std::chrono::milliseconds grace, int signal) {
    if (id <= 0) return -1;
    if (waitForExit(grace)) return *exitCode;
    ::kill(id, signal);
    if (signal != SIGKILL && waitForExit(std::chrono::seconds(10))) return *exitCode;
    ::kill(id, SIGKILL);
    int status = 0;
    ::waitpid(id, &status, 0);
    exitCode = exitCodeOf(status);
    return *exitCode;
}

void ChildProcess::collectOutput() {
    char buffer[4096];
    for (;;) {
        const ssize_t count = ::read(output, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) continue;
        if (count <= 0) return;
        std::lock_guard<std::mutex> hold(lock);
        written.append(buffer, static_cast<std::size_t>(count));
        changed.notify_all();
    }
}

}  // namespace testing_support
