#include "console_log.h"

namespace boardwatch {

ConsoleLog::ConsoleLog(std::FILE* out) : out(out), writer([this] { write(); }) {}

ConsoleLog::~ConsoleLog() {
    {
        std::lock_guard<std::mutex> hold(lock);
        ending = true;
    }
    waiting.notify_one();
    writer.join();
}

void ConsoleLog::line(std::string text) {
    {
        std::lock_guard<std::mutex> hold(lock);
        if (lines.size() >= waitingLimit) {
            ++dropped;
            return;
        }
        if (dropped > 0) {
            lines.push_back("(" + std::to_string(dropped) + " lines dropped: the console was not read)");
            dropped = 0;
        }
        lines.push_back(std::move(text));
    }
    waiting.notify_one();
}

void ConsoleLog::write() {
    std::unique_lock<std::mutex> hold(lock);
    for (;;) {
        waiting.wait(hold, [this] { return ending || !lines.empty(); });
        if (lines.empty()) return;
        std::deque<std::string> batch;
        batch.swap(lines);
        hold.unlock();
        for (const std::string& text : batch) std::fprintf(out, "%s\n", text.c_str());
        std::fflush(out);
        hold.lock();
    }
}

}  // namespace boardwatch
