#ifndef BOARDWATCH_INPUT_FILE_H
#define BOARDWATCH_INPUT_FILE_H

// Files boardwatch reads: the round file, the arbiter's token, the games'
// files of an earlier run. Read whole, as what they are, up to a size.

#include <cstddef>
#include <optional>
#include <string>

namespace boardwatch {

// The content of a regular file; empty, with error naming the path and
// why, for one that cannot be read, that is no regular file (a FIFO, which
// would never end, a device, a folder), or that is larger than `largest`.
// A link is followed unless followLinks is false, as for a file that
// another program may have put in a folder boardwatch writes.
std::optional<std::string> readInputFile(const std::string& path, std::size_t largest, std::string& error,
                                         bool followLinks = true);

}  // namespace boardwatch

#endif
