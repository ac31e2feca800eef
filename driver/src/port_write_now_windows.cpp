#if defined(_WIN32)

#include "port_write_now.h"

namespace krvEBLowLevel {

// The port is opened for overlapped I/O, which only the I/O thread's
// asynchronous writes use: every block goes that way.
std::size_t writeNow(NativePortHandle, const unsigned char*, std::size_t) { return 0; }

}  // namespace krvEBLowLevel

#endif
