// The virtual board itself: what it does when setting up fails, reads that
// a signal interrupts, and writes that a deadline cuts short.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
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

TEST(VirtualBoard, AWriteCutShortByItsDeadlineSaysHowMuchWentSoTheRestFollowsExactlyOnce) {
    VirtualBoard board;
    const int host = ::open(board.devicePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(host, 0);
    Bytes stream(256 * 1024);
    for (std::size_t i = 0; i < stream.size(); ++i) stream[i] = static_cast<unsigned char>(i % 251);

    // The host reads nothing yet: the terminal takes a part and no more.
    const std::size_t first =
        board.writeSome(stream.data(), stream.size(), std::chrono::steady_clock::now() + 200ms);
    ASSERT_GT(first, 0u);
    ASSERT_LT(first, stream.size());

    std::packaged_task<Bytes()> reading([host, size = stream.size()] {
        Bytes received(size);
        std::size_t got = 0;
        // Bytes the board claimed but never wrote end the wait, not the test.
        for (pollfd p{host, POLLIN, 0}; got < size && ::poll(&p, 1, 5000) == 1;) {
            const ssize_t n = ::read(host, received.data() + got, size - got);
            if (n <= 0) break;
            got += static_cast<std::size_t>(n);
        }
        received.resize(got);
        return received;
    });
    std::future<Bytes> received = reading.get_future();
    std::thread reader(std::move(reading));
    EXPECT_EQ(board.writeSome(stream.data() + first, stream.size() - first, std::chrono::steady_clock::now() + 20s),
              stream.size() - first);
    reader.join();
    EXPECT_EQ(received.get(), stream);
    ::close(host);
}

}  // namespace
