// POSIX: standard input read with read(2) on a detached thread, which ends
// at the end of input or when the process does.
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <system_error>
#include <thread>

#include "console_input.h"

namespace boardwatch {

bool readStandardInput(std::function<void(std::string_view bytes)> take) {
    try {
        std::thread([take = std::move(take)] {
            char buffer[4096];
            for (;;) {
                const ssize_t got = ::read(0, buffer, sizeof buffer);
                if (got < 0 && errno == EINTR) continue;
                // In a terminal's background: asked again once a second,
                // until the job is brought to the foreground.
                if (got < 0 && errno == EIO) {
                    std::this_thread::sleep_for(std::chrono::seconds(1));
                    continue;
                }
                if (got <= 0) return;
                take(std::string_view(buffer, static_cast<std::size_t>(got)));
            }
        }).detach();
        return true;
    } catch (const std::system_error&) {
        return false;
    }
}

}  // namespace boardwatch
