// boardsim's memory while a host floods it with board requests (0x42, each
// answered with a 53-byte board dump) as fast as the device takes them, and
// reads what comes back. A board answers only as fast as its 9600-baud line
// carries; what it cannot answer in time must not pile up in memory.
//
// usage: boardsim_flood_bench [SECONDS [BOARDSIM]]
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

long residentKiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    return -1;
}

pid_t startBoardsim(const std::string& binary, const std::string& link) {
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    const int quiet = ::open("/dev/null", O_RDWR);
    ::dup2(quiet, 0);
    ::dup2(quiet, 1);
    ::execl(binary.c_str(), binary.c_str(), "--link", link.c_str(), static_cast<char*>(nullptr));
    ::_exit(127);
}

int openWhenThere(const std::string& link) {
    for (const auto deadline = Clock::now() + std::chrono::seconds(10); Clock::now() < deadline;) {
        const int host = ::open(link.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (host >= 0) return host;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return -1;
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
    const std::string binary = argc > 2 ? argv[2] : BOARDSIM_BINARY;
    char directory[] = "/tmp/boardsim-flood-XXXXXX";
    if (::mkdtemp(directory) == nullptr) return 1;
    const std::string link = std::string(directory) + "/board";

    const pid_t boardsim = startBoardsim(binary, link);
    const int host = openWhenThere(link);
    if (host < 0) {
        std::fprintf(stderr, "boardsim's device did not appear at %s\n", link.c_str());
        ::kill(boardsim, SIGTERM);
        return 1;
    }
    std::printf("boardsim %s, flooded with 0x42 for %d s\n", binary.c_str(), seconds);
    std::printf("resident at start: %ld KiB\n", residentKiB(boardsim));

    const std::vector<unsigned char> requests(4096, 0x42);
    std::vector<unsigned char> answers(65536);
    long long asked = 0, answered = 0;
    const auto start = Clock::now();
    for (int second = 1; second <= seconds; ++second) {
        while (Clock::now() - start < std::chrono::seconds(second)) {
            const ssize_t written = ::write(host, requests.data(), requests.size());
            if (written > 0) asked += written;
            const ssize_t read = ::read(host, answers.data(), answers.size());
            if (read > 0) answered += read;
            pollfd wait{host, POLLIN | POLLOUT, 0};
            ::poll(&wait, 1, 10);
        }
        std::printf("after %3d s: %10lld requests, %9lld bytes answered, boardsim resident %7ld KiB\n", second, asked,
                    answered, residentKiB(boardsim));
        std::fflush(stdout);
    }
    ::close(host);
    ::kill(boardsim, SIGTERM);
    ::waitpid(boardsim, nullptr, 0);
    ::rmdir(directory);
    return 0;
}
