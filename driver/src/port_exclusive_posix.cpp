#if !defined(_WIN32)

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <cerrno>

#include "port_exclusive.h"

namespace krvEBLowLevel {

namespace {

boost::system::error_code lastError() { return boost::system::error_code(errno, boost::system::system_category()); }

}  // namespace

boost::system::error_code claimExclusiveAccess(NativePortHandle handle) {
    // A child process that inherited the port would keep the device open,
    // and the board would see no disconnect when we close it.
    const int flags = ::fcntl(handle, F_GETFD);
    if (flags < 0 || ::fcntl(handle, F_SETFD, flags | FD_CLOEXEC) < 0) return lastError();
    // TIOCEXCL alone does not stop root; the lock stops every opener that
    // asks for it, which every instance of this driver does.
    if (::flock(handle, LOCK_EX | LOCK_NB) != 0) return lastError();
    if (::ioctl(handle, TIOCEXCL) != 0) return lastError();
    return {};
}

void releaseExclusiveAccess(NativePortHandle handle) {
    // Best effort: a device that has gone away refuses, and needs nothing.
    ::ioctl(handle, TIOCNXCL);
}

}  // namespace krvEBLowLevel

#endif
