#include "auto_mode.h"

#include "boardio/commands.h"

namespace krvEBLowLevel {

namespace {

// What each step of the cycle asks for; 0 asks for nothing.
constexpr unsigned char cycle[] = {
    KRV_CMD_SEND_TRADEMARK,
    0,
    KRV_CMD_RETURN_SERIALNR,
    0,
    KRV_CMD_RETURN_BUSADDRESS,
    0,
    KRV_CMD_SEND_CLK,
    0,
    KRV_CMD_SEND_BRD,
    0,
    0,
};

}  // namespace

void AutoMode::start() {
    std::lock_guard<std::mutex> control(controlLock);
    if (active) return;
    active = true;
    try {
        thread = std::thread([this] { run(); });
    } catch (...) {
        active = false;
        throw;
    }
}

void AutoMode::stop() {
    std::lock_guard<std::mutex> control(controlLock);
    {
        std::lock_guard<std::mutex> guard(waitLock);
        active = false;
    }
    wake.notify_all();
    if (thread.joinable()) thread.join();
}

void AutoMode::run() {
    // Steps are timed from the first write rather than from each wake-up, so
    // the spacing does not drift with scheduling delays.
    // The opening pair always goes out whole: a board left reset without the
    // request that follows would stay silent. A stop waits for it.
    auto due = std::chrono::steady_clock::now();
    write(KRV_CMD_SEND_RESET);
    std::this_thread::sleep_until(due += step);
    write(KRV_CMD_SEND_UPDATE_NICE);
    if (!waitUntil(due += step)) return;
    for (const unsigned char* request = cycle;; request = request + 1 == std::end(cycle) ? cycle : request + 1) {
        if (!waitUntil(due += step)) return;
        if (*request != 0) write(*request);
    }
}

bool AutoMode::waitUntil(std::chrono::steady_clock::time_point due) {
    std::unique_lock<std::mutex> guard(waitLock);
    return !wake.wait_until(guard, due, [this] { return !active; });
}

}  // namespace krvEBLowLevel
