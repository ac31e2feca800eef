#ifndef BOARDSIM_INPUT_FILE_H
#define BOARDSIM_INPUT_FILE_H

#include <cstddef>
#include <optional>
#include <string>

namespace boardsim {

// Files named on the command line are read whole, up to this size: a
// game file, a script or a recording past it is no file of those.
constexpr std::size_t largestInputFile = 256 * 1024 * 1024;

// The content of a regular file the user named; empty, with error naming
// the path and why, for one that cannot be read, one that is a directory,
// a FIFO or a device (which would be read as empty, or never end), and one
// larger than largestInputFile.
std::optional<std::string> contentOf(const std::string& path, std::string& error);

}  // namespace boardsim

#endif
