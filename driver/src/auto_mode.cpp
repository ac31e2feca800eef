#include "auto_mode.h"

#include "boardio/commands.h"

namespace krvEBLowLevel {

namespace {

// What each step of the cycle asks for; 0 asks for nothing.
constexpr unsigned char cycleRequests[AutoMode::cycleSteps] = {
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

void AutoMode::start(Clock::time_point now) {
    position = reset;
    stopping = false;
    next = now;
}

void AutoMode::stop() {
    if (position == updates) {
        stopping = true;
    } else {
        position = idle;
    }
}

unsigned char AutoMode::take() {
    // Steps are timed from the reset rather than from each take, so that the
    // spacing does not drift with the timer's lateness.
    switch (position) {
        case idle:
            return 0;
        case reset:
            position = updates;
            next += step;
            return KRV_CMD_SEND_RESET;
        case updates:
            // One silent step before the cycle begins.
            position = stopping ? idle : 1;
            next += 2 * step;
            return KRV_CMD_SEND_UPDATE_NICE;
        default:
            break;
    }
    const unsigned char request = cycleRequests[position - 1];
    position = position == cycleSteps ? 1 : position + 1;
    next += step;
    return request;
}

}  // namespace krvEBLowLevel
