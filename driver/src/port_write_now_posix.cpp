#if !defined(_WIN32)

#include <unistd.h>

#include <cerrno>

#include "port_write_now.h"

namespace krvEBLowLevel {

// The port is non-blocking (Asio opens it so), so write() never waits.
std::size_t writeNow(NativePortHandle handle, const unsigned char* bytes, std::size_t count) {
    for (;;) {
        const ssize_t written = ::write(handle, bytes, count);
        if (written >= 0) return static_cast<std::size_t>(written);
        if (errno != EINTR) return 0;
    }
}

}  // namespace krvEBLowLevel

#endif
