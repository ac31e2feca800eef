#if defined(_WIN32)

#include "port_exclusive.h"

namespace krvEBLowLevel {

// Windows opens a COM port exclusively and does not let child processes
// inherit it unless asked to: nothing is left to do.
boost::system::error_code claimExclusiveAccess(NativePortHandle) { return {}; }

void releaseExclusiveAccess(NativePortHandle) {}

}  // namespace krvEBLowLevel

#endif
