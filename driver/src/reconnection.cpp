#include "reconnection.h"

#include <boost/system/error_code.hpp>

namespace krvEBLowLevel {

bool Reconnection::start(std::function<void()> reopen) {
    if (pending) return false;
    const bool limitPassed = ++attempts > attemptLimit;
    if (limitPassed) failedMark = true;
    pending = true;
    timer.expires_after(pause);
    timer.async_wait([this, reopen = std::move(reopen)](const boost::system::error_code& error) {
        pending = false;
        if (!error) reopen();
    });
    return limitPassed;
}

void Reconnection::boardAnswered() {
    attempts = 0;
    failedMark = false;
}

}  // namespace krvEBLowLevel
