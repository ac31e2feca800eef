// The virtual board itself: what it does when setting up fails, and reads
// that a signal interrupts.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <future>
#include <system_error>
#include <thread>

#include "virtualboard/virtual_board.h"

namespace {

using namespace std::chrono_literals;
using virtualboard::Bytes;
using virtualboard::VirtualBoard;

std::size_t openDescriptors() {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
    return count;
}

TEST(VirtualBoard, AConstructorThatThrowsLeavesNoDescriptorOpen) {
    const std::size_t before = openDescriptors();
    EXPECT_THROW(VirtualBoard("/nonexistent-virtualboard-dir/board"), std::system_error);
    EXPECT_EQ(openDescriptors(), before);
}

// Installs a handler that does nothing, so that the signal only interrupts
// whatever system call the receiving thread is blocked in.
class InterruptingSignal {
public:
    InterruptingSignal() {
        struct sigaction action {};
        action.sa_handler = [](int) {};
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGUSR1, &action, &previous);
    }
    ~InterruptingSignal() { ::sigaction(SIGUSR1, &previous, nullptr); }

private:
    struct sigaction previous {};
};

TEST(VirtualBoard, ASignalDoesNotCutAReadShort) {
    InterruptingSignal signal;
    VirtualBoard board;
    // The host has the device open, so the reader blocks waiting for data
    // rather than pausing between hang-ups.
    const int host = ::open(board.devicePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(host, 0);

    std::packaged_task<Bytes()> reading([&board] { return board.read(1, 2s); });
    std::future<Bytes> received = reading.get_future();
    std::thread reader(std::move(reading));
    std::this_thread::sleep_for(50ms);
    ::pthread_kill(reader.native_handle(), SIGUSR1);
    std::this_thread::sleep_for(300ms);
    const unsigned char byte = 0x42;
    EXPECT_EQ(::write(host, &byte, 1), 1);

    reader.join();
    EXPECT_EQ(received.get(), Bytes{byte});
    ::close(host);
}

}  // namespace
