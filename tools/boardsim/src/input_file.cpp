#include "input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <boost/format.hpp>
#include <cerrno>
#include <cstring>

namespace boardsim {

namespace {

class Descriptor {
public:
    explicit Descriptor(int descriptor) : descriptor(descriptor) {}
    ~Descriptor() {
        if (descriptor >= 0) ::close(descriptor);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return descriptor; }

private:
    int descriptor;
};

std::nullopt_t failed(std::string& error, const boost::format& why) {
    error = why.str();
    return std::nullopt;
}

}  // namespace

std::optional<std::string> contentOf(const std::string& path, std::string& error) {
    // Not blocking: opening a FIFO for reading would wait for a writer.
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.get() < 0) return failed(error, boost::format("cannot read %1%: %2%") % path % std::strerror(errno));
    struct stat status {};
    if (::fstat(file.get(), &status) != 0) {
        return failed(error, boost::format("cannot read %1%: %2%") % path % std::strerror(errno));
    }
    if (S_ISDIR(status.st_mode)) return failed(error, boost::format("%1% is a directory, not a file") % path);
    if (!S_ISREG(status.st_mode)) {
        return failed(error, boost::format("%1% is not a regular file (a FIFO, socket or device)") % path);
    }
    if (static_cast<unsigned long long>(status.st_size) > largestInputFile) {
        return failed(error, boost::format("%1% is larger than %2% MiB, more than boardsim reads") % path %
                                 (largestInputFile / (1024 * 1024)));
    }
    std::string content(static_cast<std::size_t>(status.st_size), '\0');
    std::size_t got = 0;
    while (got < content.size()) {
        const ssize_t count = ::read(file.get(), content.data() + got, content.size() - got);
        if (count < 0 && errno == EINTR) continue;
        if (count < 0) return failed(error, boost::format("cannot read %1%: %2%") % path % std::strerror(errno));
        // A file that shrank while it was read.
        if (count == 0) break;
        got += static_cast<std::size_t>(count);
    }
    content.resize(got);
    return content;
}

}  // namespace boardsim
