#ifndef BOARDIO_PORT_WRITE_NOW_H
#define BOARDIO_PORT_WRITE_NOW_H

// Writing to an open port straight from the caller's thread, without waiting:
// the way round the I/O thread's wake-up when nothing else is on its way to
// the port.

#include <cstddef>

#include "port_exclusive.h"

namespace krvEBLowLevel {

// Writes what the port takes at once, never waits: the number of bytes
// written. A failure writes nothing and is left to the I/O thread's own
// write of the same bytes, which meets it again and reports it.
std::size_t writeNow(NativePortHandle handle, const unsigned char* bytes, std::size_t count);

}  // namespace krvEBLowLevel

#endif
