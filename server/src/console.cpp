#include "console.h"

#include <iostream>
#include <mutex>

namespace {

std::mutex consoleLock;
std::ostream* consoleStream = nullptr;

}  // namespace

void writeConsole(const std::string& text) {
    std::lock_guard<std::mutex> hold(consoleLock);
    std::ostream& out = consoleStream != nullptr ? *consoleStream : std::cout;
    out << text;
    // Flushed at once: the console is the relay's only record of what happened,
    // and a reader of a pipe must see each line when it happens.
    out.flush();
}

void redirectConsole(std::ostream* stream) {
    std::lock_guard<std::mutex> hold(consoleLock);
    consoleStream = stream;
}
