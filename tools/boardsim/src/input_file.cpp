#include "input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <boost/format.hpp>
#include <cerrno>
#include <cstring>

namespace boardsim {

namespace {

#ifdef _WIN32
// Windows knows no FIFOs that block an open, and reads files as bytes only
// when asked.
constexpr int readOnly = O_RDONLY | O_BINARY;
#else
// Not blocking: opening a FIFO for reading would wait for a writer.
constexpr int readOnly = O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
#endif

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
    const Descriptor file(::open(path.c_str(), readOnly));
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
        const auto count = ::read(file.get(), content.data() + got, static_cast<unsigned>(content.size() - got));
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
