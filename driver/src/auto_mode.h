#ifndef BOARDIO_AUTO_MODE_H
#define BOARDIO_AUTO_MODE_H

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace krvEBLowLevel {

// Auto mode: a thread that polls the board with one-byte requests, which it
// hands to the writer it was given. It opens with a reset and a request for
// updates, then runs a cycle of eleven steps, one every 200 ms.
//
// Started and stopped from the caller's thread and, when a reconnection
// stops it, from the I/O thread; the writer must therefore never wait for
// either of them.
class AutoMode {
public:
    using Writer = std::function<void(unsigned char request)>;
    static constexpr std::chrono::milliseconds step{200};

    explicit AutoMode(Writer write) : write(std::move(write)) {}
    ~AutoMode() { stop(); }

    AutoMode(const AutoMode&) = delete;
    AutoMode& operator=(const AutoMode&) = delete;

    // Starts the thread unless it runs.
    void start();
    // Returns once the thread has ended; nothing is written after that.
    void stop();
    bool running() const { return active; }

private:
    void run();
    // Waits until `due` unless stopped first; true when still running.
    bool waitUntil(std::chrono::steady_clock::time_point due);

    Writer write;
    std::thread thread;
    std::mutex controlLock;  // serialises start and stop; never taken by the thread itself
    std::mutex waitLock;
    std::condition_variable wake;
    std::atomic<bool> active{false};
};

}  // namespace krvEBLowLevel

#endif
