#ifndef BOARDIO_PORT_EXCLUSIVE_H
#define BOARDIO_PORT_EXCLUSIVE_H

// Making an opened serial port this process's alone: not inherited by
// programs it starts, and refused to any second opener while we hold it.

#include <boost/system/error_code.hpp>

namespace krvEBLowLevel {

#if defined(_WIN32)
using NativePortHandle = void*;
#else
using NativePortHandle = int;
#endif

// Returns the operating system's error when the port is held elsewhere or
// cannot be claimed; the caller then closes it.
boost::system::error_code claimExclusiveAccess(NativePortHandle handle);
// Lets the next opener in once we close: called right before closing.
void releaseExclusiveAccess(NativePortHandle handle);

}  // namespace krvEBLowLevel

#endif
