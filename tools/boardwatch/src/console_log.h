#ifndef BOARDWATCH_CONSOLE_LOG_H
#define BOARDWATCH_CONSOLE_LOG_H

// boardwatch's console: lines go to a writer thread of their own through a
// bounded queue, so that a console nobody reads (a paused terminal, a full
// pipe) never holds up the boards or the page. Past the bound, lines are
// dropped and counted, and one line says how many.

#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

namespace boardwatch {

class ConsoleLog {
public:
    static constexpr std::size_t waitingLimit = 1000;

    explicit ConsoleLog(std::FILE* out);
    // Writes what still waits, then ends the writer.
    ~ConsoleLog();
    ConsoleLog(const ConsoleLog&) = delete;
    ConsoleLog& operator=(const ConsoleLog&) = delete;

    // One line, without its line feed.
    void line(std::string text);

private:
    void write();

    std::FILE* out;
    std::mutex lock;
    std::condition_variable waiting;
    std::deque<std::string> lines;
    std::size_t dropped = 0;
    bool ending = false;
    std::thread writer;
};

}  // namespace boardwatch

#endif
