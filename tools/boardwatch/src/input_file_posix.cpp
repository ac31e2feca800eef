// POSIX: opened without blocking, so that a FIFO is refused rather than
// waited on.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "input_file.h"

namespace boardwatch {

std::optional<std::string> readInputFile(const std::string& path, std::size_t largest, std::string& error,
                                         bool followLinks) {
    const int flags = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | (followLinks ? 0 : O_NOFOLLOW);
    const int file = ::open(path.c_str(), flags);
    if (file < 0) {
        error = "cannot read " + path + ": " + std::strerror(errno);
        return std::nullopt;
    }
    struct stat status {};
    std::optional<std::string> content;
    if (::fstat(file, &status) != 0) {
        error = "cannot read " + path + ": " + std::strerror(errno);
    } else if (!S_ISREG(status.st_mode)) {
        error = path + " is no regular file";
    } else if (static_cast<unsigned long long>(status.st_size) > largest) {
        error = path + " is larger than " + std::to_string(largest / 1024) + " KiB, more than boardwatch reads";
    } else {
        content.emplace(static_cast<std::size_t>(status.st_size), '\0');
        std::size_t got = 0;
        while (got < content->size()) {
            const ssize_t count = ::read(file, content->data() + got, content->size() - got);
            if (count < 0 && errno == EINTR) continue;
            if (count < 0) {
                error = "cannot read " + path + ": " + std::strerror(errno);
                content.reset();
                break;
            }
            // A file that shrank while it was read.
            if (count == 0) break;
            got += static_cast<std::size_t>(count);
        }
        if (content) content->resize(got);
    }
    ::close(file);
    return content;
}

}  // namespace boardwatch
