#include "child_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <boost/format.hpp>
#include <cstring>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace relay_compare {

namespace {

int exitCodeOf(int status) { return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status); }

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& arguments) {
    std::vector<std::string> words = arguments;
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const int failed = ::posix_spawnp(&id, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
        id = -1;
        throw std::runtime_error(str(boost::format("cannot start %1%: %2%") % arguments[0] % std::strerror(failed)));
    }
}

ChildProcess::~ChildProcess() { stop(std::chrono::milliseconds(0)); }

bool ChildProcess::running() {
    if (id < 0) return false;
    int status = 0;
    if (::waitpid(id, &status, WNOHANG) != id) return true;
    exitCode = exitCodeOf(status);
    id = -1;
    return false;
}

int ChildProcess::stop(std::chrono::milliseconds grace) {
    const auto deadline = std::chrono::steady_clock::now() + grace;
    while (running() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (id >= 0) {
        ::kill(id, SIGKILL);
        int status = 0;
        ::waitpid(id, &status, 0);
        exitCode = exitCodeOf(status);
        id = -1;
    }
    return exitCode;
}

}  // namespace relay_compare
