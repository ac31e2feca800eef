#ifndef TEXTIO_DESCRIPTOR_OUTPUT_H
#define TEXTIO_DESCRIPTOR_OUTPUT_H

#include <string_view>

namespace textio {

// Writes all of text to a file descriptor (1: standard output), straight,
// past stdio: a write blocked on a console nobody reads then holds no stdio
// lock that the end of the process needs. A console that has gone (a closed
// pipe) loses the rest of the text; the program goes on. Meant as a
// BoundedWriter's output, whose thread alone writes there.
void writeToDescriptor(int descriptor, std::string_view text);

}  // namespace textio

#endif
