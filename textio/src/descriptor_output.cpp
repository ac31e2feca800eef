#include "textio/descriptor_output.h"

#include <cerrno>
#include <cstddef>

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

namespace textio {

void writeToDescriptor(int descriptor, std::string_view text) {
    const char* data = text.data();
    std::size_t left = text.size();
    while (left > 0) {
#if defined(_WIN32)
        const int written = ::_write(descriptor, data, static_cast<unsigned>(left < (1u << 30) ? left : (1u << 30)));
#else
        const ssize_t written = ::write(descriptor, data, left);
        if (written < 0 && errno == EINTR) continue;
#endif
        if (written <= 0) return;
        data += written;
        left -= static_cast<std::size_t>(written);
    }
}

}  // namespace textio
