#ifndef TESTSUPPORT_CONSOLE_FIFO_H
#define TESTSUPPORT_CONSOLE_FIFO_H

// A FIFO for a program's console that nobody reads until the test says so:
// a console whose reader stalls. Start the program with its standard
// output on path() (withOutputOn), after the FIFO is made.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace testing_support {

class ConsoleFifo {
public:
    explicit ConsoleFifo(std::string path) : where(std::move(path)) {
        if (::mkfifo(where.c_str(), 0600) != 0) throw std::system_error(errno, std::generic_category(), "mkfifo");
        // Open for reading now, without waiting for a writer, so that the
        // program's open for writing does not wait either.
        end = ::open(where.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (end < 0) throw std::system_error(errno, std::generic_category(), "open " + where);
    }
    ~ConsoleFifo() {
        if (reader.joinable()) reader.join();
        ::close(end);
    }
    ConsoleFifo(const ConsoleFifo&) = delete;
    ConsoleFifo& operator=(const ConsoleFifo&) = delete;

    const std::string& path() const { return where; }

    // The console is read from now on, until the program closes it.
    void startReading() {
        reader = std::thread([this] {
            ::fcntl(end, F_SETFL, 0);
            char buffer[65536];
            for (ssize_t got; (got = ::read(end, buffer, sizeof buffer)) > 0;) {
                shown.append(buffer, static_cast<std::size_t>(got));
            }
        });
    }
    // Everything read, once the program has closed its console.
    const std::string& readAtEnd() {
        if (reader.joinable()) reader.join();
        return shown;
    }

    // A program's words, started through the shell with its standard
    // output on the FIFO.
    std::vector<std::string> withOutputOn(std::vector<std::string> words) const {
        words.insert(words.begin(), {"/bin/sh", "-c", "exec \"$0\" \"$@\" >" + where});
        return words;
    }

private:
    std::string where;
    int end = -1;
    std::thread reader;
    std::string shown;
};

}  // namespace testing_support

#endif
