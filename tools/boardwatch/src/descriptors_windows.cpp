#include <cstdint>

#include "descriptors.h"

namespace boardwatch {

// Sockets and files are handles on Windows, with no limit of the kind a
// POSIX process has: the page's cap of connections is the only bound.
std::size_t raiseDescriptorLimit() { return SIZE_MAX; }

}  // namespace boardwatch
