// Auto mode: a thread that polls the board with one-byte requests. Its
// writes go straight to the link and change no state.

#include "single_board.h"

namespace krvEBLowLevel {

void SingleBoard::startAuto() {
    std::lock_guard<std::mutex> control(autoControlLock);
    if (autoRunning || closing) return;
    autoRunning = true;
    try {
        autoThread = std::thread([this] { autoLoop(); });
    } catch (...) {
        autoRunning = false;
        throw;
    }
}

void SingleBoard::stopAuto() {
    // Called from the caller's thread and, during a reconnection, from the
    // I/O thread; the auto thread needs neither autoControlLock nor anything
    // those threads hold while they wait here.
    std::lock_guard<std::mutex> control(autoControlLock);
    {
        std::lock_guard<std::mutex> guard(autoWaitLock);
        autoRunning = false;
    }
    autoWake.notify_all();
    if (autoThread.joinable()) autoThread.join();
}

void SingleBoard::autoLoop() {
    // Steps are timed from the first write rather than from each wake-up, so
    // the spacing does not drift with scheduling delays.
    // The opening pair always goes out whole: a board left reset without the
    // request that follows would stay silent. A stop waits for it.
    auto due = std::chrono::steady_clock::now();
    writeAutoRequest(KRV_CMD_SEND_RESET);
    std::this_thread::sleep_until(due += autoStep);
    writeAutoRequest(KRV_CMD_SEND_UPDATE_NICE);
    if (!waitForAutoStep(due += autoStep)) return;
    for (int step = 0;; step = (step + 1) % autoCycleSteps) {
        if (!waitForAutoStep(due += autoStep)) return;
        switch (step) {
            case 0:
                writeAutoRequest(KRV_CMD_SEND_TRADEMARK);
                break;
            case 2:
                writeAutoRequest(KRV_CMD_RETURN_SERIALNR);
                break;
            case 4:
                writeAutoRequest(KRV_CMD_RETURN_BUSADDRESS);
                break;
            case 6:
                writeAutoRequest(KRV_CMD_SEND_CLK);
                break;
            case 8:
                writeAutoRequest(KRV_CMD_SEND_BRD);
                break;
            default:
                break;
        }
    }
}

void SingleBoard::writeAutoRequest(unsigned char code) { writeBlock(std::vector<unsigned char>{code}); }

// Waits until `due` unless auto mode is stopped first; true when it still runs.
bool SingleBoard::waitForAutoStep(std::chrono::steady_clock::time_point due) {
    std::unique_lock<std::mutex> guard(autoWaitLock);
    return !autoWake.wait_until(guard, due, [this] { return !autoRunning; });
}

}  // namespace krvEBLowLevel
