#include "program_start.h"

namespace boardwatch {

// The arguments are bytes, in the locale's encoding: UTF-8 in practice.
std::vector<std::string> startProgram(int argc, char** argv) { return std::vector<std::string>(argv + 1, argv + argc); }

}  // namespace boardwatch
