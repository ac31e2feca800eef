// boardsim's memory while a host floods it with board requests (0x42, each
// answered with a 53-byte board dump) as fast as the device takes them, and
// reads what comes back. A board answers only as fast as its 9600-baud line
// carries; what it cannot answer in time must not pile up in memory.
//
// usage: boardsim_flood_bench [SECONDS [BOARDSIM]]
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "relay_compare/system_figures.h"

namespace {

using Clock = std::chrono::steady_clock;
using relay_compare::statusKiB;
using testing_support::ChildProcess;

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

    // Its console is not read: reading it would cost what is measured.
    ChildProcess boardsim({binary, "--link", link}, ChildProcess::Output::Discarded);
    const int host = openWhenThere(link);
    if (host < 0) {
        std::fprintf(stderr, "boardsim's device did not appear at %s\n", link.c_str());
        return 1;
    }
    std::printf("boardsim %s, flooded with 0x42 for %d s\n", binary.c_str(), seconds);
    std::printf("resident at start: %ld KiB\n", statusKiB(boardsim.pid(), "VmRSS"));

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
                    answered, statusKiB(boardsim.pid(), "VmRSS"));
        std::fflush(stdout);
    }
    ::close(host);
    boardsim.stop({}, SIGTERM);
    ::rmdir(directory);
    return 0;
}
