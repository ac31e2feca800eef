#include "console.h"

#include <condition_variable>
#include <mutex>
#include <ostream>
#include <thread>

#include "console_queue.h"

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>

#include <cerrno>
#endif

namespace {

// Straight to the descriptor, past stdio: a write blocked on a console
// nobody reads then holds no stdio lock that the end of the process needs.
void writeToStandardOutput(const std::string& text) {
    const char* data = text.data();
    std::size_t left = text.size();
    while (left > 0) {
#if defined(_WIN32)
        const int written = ::_write(1, data, static_cast<unsigned>(left < (1u << 30) ? left : (1u << 30)));
#else
        const ssize_t written = ::write(STDOUT_FILENO, data, left);
        if (written < 0 && errno == EINTR) continue;
#endif
        // A console that has gone (a closed pipe): its lines are lost.
        if (written <= 0) return;
        data += written;
        left -= static_cast<std::size_t>(written);
    }
}

class ConsoleWriter {
public:
    ConsoleWriter() { std::thread([this] { run(); }).detach(); }

    void write(const std::string& text) {
        {
            std::lock_guard<std::mutex> hold(lock);
            queue.push(text);
        }
        work.notify_one();
    }

    bool flush(std::chrono::milliseconds patience) {
        std::unique_lock<std::mutex> hold(lock);
        const auto written = [this] { return queue.empty() && !writing; };
        if (patience == std::chrono::milliseconds::max()) {
            done.wait(hold, written);
            return true;
        }
        return done.wait_for(hold, patience, written);
    }

    void redirect(std::ostream* newStream) {
        flush(std::chrono::milliseconds::max());
        std::lock_guard<std::mutex> hold(lock);
        stream = newStream;
    }

private:
    void run() {
        std::unique_lock<std::mutex> hold(lock);
        for (;;) {
            work.wait(hold, [this] { return !queue.empty(); });
            const std::string text = queue.take();
            std::ostream* const out = stream;
            writing = true;
            hold.unlock();
            if (out != nullptr) {
                *out << text;
                out->flush();
            } else {
                writeToStandardOutput(text);
            }
            hold.lock();
            writing = false;
            done.notify_all();
        }
    }

    std::mutex lock;
    std::condition_variable work;  // something waits to be written
    std::condition_variable done;  // a write has ended
    ConsoleQueue queue;
    std::ostream* stream = nullptr;
    bool writing = false;
};

ConsoleWriter& consoleWriter() {
    // Never destroyed: when the process ends, its thread may still be
    // blocked writing to a console nobody reads.
    static ConsoleWriter* const writer = new ConsoleWriter;
    return *writer;
}

}  // namespace

void writeConsole(const std::string& text) { consoleWriter().write(text); }

bool flushConsole(std::chrono::milliseconds patience) { return consoleWriter().flush(patience); }

void redirectConsole(std::ostream* stream) { consoleWriter().redirect(stream); }
