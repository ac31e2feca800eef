#include "console.h"

#include <unistd.h>

#include <cerrno>

#include "textio/console_text.h"

namespace boardwatch {

namespace {

// Straight to the descriptor, past stdio: a write blocked on a console
// nobody reads then holds no stdio lock that the end of the process needs.
bool writeAll(int descriptor, const std::string& text) {
    const char* data = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        const ssize_t written = ::write(descriptor, data, left);
        if (written < 0 && errno == EINTR) continue;
        // A console that has gone (a closed pipe) loses its lines; boardwatch
        // goes on.
        if (written <= 0) return true;
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace

Console::Console(int descriptor)
    : writer([descriptor](const std::string& texts) { return writeAll(descriptor, texts); },
             {waitingLimit, textio::WhenFull::dropOldest, [](std::size_t lines) {
                  return "(" + std::to_string(lines) + " lines dropped: the console was not read)\n";
              }}) {}

void Console::line(const std::string& text) { writer.add(textio::escapedForConsole(text) + "\n"); }

}  // namespace boardwatch
