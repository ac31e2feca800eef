#ifndef BOARDWATCH_DESCRIPTORS_H
#define BOARDWATCH_DESCRIPTORS_H

// Open descriptors: the soft limit (often 1024) raised to the hard one, and
// the page's connections capped within it, so that idle connections never
// take the descriptors that the relays and the games' files need.

#include <cstddef>

namespace boardwatch {

// The soft limit after raising it to the hard one.
std::size_t raiseDescriptorLimit();

// Page connections at once: at most a thousand, and what the limit leaves
// beside boardwatch's own descriptors (the connections being turned away
// among them) and four a relay (its connection, a lookup, its game's file
// and the last game's).
std::size_t pageConnectionCap(std::size_t descriptorLimit, std::size_t relays);

}  // namespace boardwatch

#endif
