// POSIX: open(2) without following links and without blocking, pwrite(2)
// and ftruncate(2).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "game_file.h"

namespace boardwatch {

namespace {

// A FIFO opens at once, to be refused as no regular file, and a link is
// not followed.
constexpr int openFlags = O_WRONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;

}  // namespace

Creation createGameFile(const std::string& path, FileHandle& file, std::string& why) {
    const int made = ::open(path.c_str(), openFlags | O_CREAT | O_EXCL, 0644);
    if (made >= 0) {
        file = made;
        return Creation::Made;
    }
    if (errno == EEXIST) return Creation::Taken;
    why = std::strerror(errno);
    return Creation::Failed;
}

bool reopenGameFile(const std::string& path, FileHandle& file, std::string& why) {
    const int opened = ::open(path.c_str(), openFlags | O_CREAT, 0644);
    if (opened < 0) {
        why = std::strerror(errno);
        return false;
    }
    struct stat status {};
    if (::fstat(opened, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(opened);
        why = "it is no regular file";
        return false;
    }
    file = opened;
    return true;
}

bool writeGameFile(FileHandle file, const std::string& text, std::size_t at, bool cut, std::string& why) {
    const int descriptor = static_cast<int>(file);
    while (at < text.size()) {
        const ssize_t written = ::pwrite(descriptor, text.data() + at, text.size() - at, static_cast<off_t>(at));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            why = std::strerror(written == 0 ? EIO : errno);
            return false;
        }
        at += static_cast<std::size_t>(written);
    }
    if (cut && ::ftruncate(descriptor, static_cast<off_t>(text.size())) != 0) {
        why = std::strerror(errno);
        return false;
    }
    return true;
}

void closeGameFile(FileHandle file) {
    if (file != noFile) ::close(static_cast<int>(file));
}

std::string checkFolder(const std::string& folder) {
    std::string probe = folder + "/.boardwatch-probe-XXXXXX";
    const int made = ::mkstemp(probe.data());
    if (made < 0) return "cannot write in " + folder + ": " + std::strerror(errno);
    ::close(made);
    ::unlink(probe.c_str());
    return "";
}

}  // namespace boardwatch
