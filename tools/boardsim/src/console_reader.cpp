#include "console_reader.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace boardsim {

namespace {

// Blocks until standard input has something or ends; negative on an error.
int readStandardInput(char* buffer, unsigned size) {
    for (;;) {
#ifdef _WIN32
        const int count = ::_read(0, buffer, size);
#else
        const int count = static_cast<int>(::read(0, buffer, size));
#endif
        if (count >= 0 || errno != EINTR) return count;
    }
}

}  // namespace

struct ConsoleReader::Shared {
    Delivery deliver;
    std::mutex lock;
    std::condition_variable changed;
    bool wanted = true;
    bool gone = false;  // the reader's owner
};

ConsoleReader::ConsoleReader(Delivery deliver) : shared(std::make_shared<Shared>()) {
    shared->deliver = std::move(deliver);
    std::thread([shared = shared] {
        for (;;) {
            {
                std::unique_lock<std::mutex> hold(shared->lock);
                shared->changed.wait(hold, [&] { return shared->wanted || shared->gone; });
                if (shared->gone) return;
                shared->wanted = false;
            }
            char buffer[512];
            const int count = readStandardInput(buffer, sizeof buffer);
            const std::lock_guard<std::mutex> hold(shared->lock);
            if (shared->gone) return;
            shared->deliver(count > 0 ? std::string(buffer, static_cast<std::size_t>(count)) : std::string());
            if (count <= 0) return;
        }
    }).detach();
}

ConsoleReader::~ConsoleReader() {
    const std::lock_guard<std::mutex> hold(shared->lock);
    shared->gone = true;
    shared->changed.notify_all();
}

void ConsoleReader::more() {
    const std::lock_guard<std::mutex> hold(shared->lock);
    shared->wanted = true;
    shared->changed.notify_all();
}

}  // namespace boardsim
