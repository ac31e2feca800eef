// Memory of a board connection whose board stops reading while requests keep
// coming as fast as a caller can give them: the bytes waiting for the port
// are bounded, so the resident size levels off and the surplus is reported.
#include <boardio/boardio.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

#include "virtualboard/virtual_board.h"

using namespace krvEBLowLevel;

namespace {

long residentKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    return -1;
}

class DropCounter : public SingleBoardObserver {
public:
    void update(std::shared_ptr<Message> message) override {
        if (message->id == 127) ++errors;
    }
    std::atomic<long> errors{0};
};

}  // namespace

int main() {
    virtualboard::VirtualBoard board;  // never reads: the line does not drain
    std::string port = board.portName();
    DropCounter counter;
    krvEBLow driver(port);
    driver.attach(&counter);
    driver.open();

    CmdSendBrd request;
    const long before = residentKiB();
    std::printf("resident before: %ld KiB\n", before);
    long sent = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int second = 1; second <= 10; ++second) {
        while (std::chrono::steady_clock::now() - start < std::chrono::seconds(second)) {
            for (int i = 0; i < 1000; ++i) driver.sendCommand(&request);
            sent += 1000;
        }
        std::printf("after %2d s: %9ld requests given, %9ld reported dropped, resident %6ld KiB\n", second, sent,
                    counter.errors.load(), residentKiB());
    }
    driver.close();
    return 0;
}
