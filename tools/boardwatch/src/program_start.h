#ifndef BOARDWATCH_PROGRAM_START_H
#define BOARDWATCH_PROGRAM_START_H

// What boardwatch does first, each platform its own way: its arguments
// taken as UTF-8, the text it keeps everything in, and its console made to
// show UTF-8 (names of players and files) until it ends.

#include <string>
#include <vector>

namespace boardwatch {

// The arguments after the program's name.
std::vector<std::string> startProgram(int argc, char** argv);

}  // namespace boardwatch

#endif
