#include "console_input.h"

#include <boost/asio/post.hpp>
#include <mutex>

namespace boardwatch {

struct ConsoleInput::Shared {
    std::mutex lock;
    boost::asio::io_context* context;  // null once the ConsoleInput has gone
    Handler handler;
    ConsoleLines lines;  // the reading thread's alone
};

ConsoleInput::ConsoleInput(boost::asio::io_context& context, Handler handler) : shared(std::make_shared<Shared>()) {
    shared->context = &context;
    shared->handler = std::move(handler);
    readStandardInput([shared = shared](std::string_view bytes) {
        std::vector<ConsoleLines::Line> lines = shared->lines.take(bytes);
        if (lines.empty()) return;
        std::lock_guard<std::mutex> hold(shared->lock);
        if (!shared->context) return;
        boost::asio::post(*shared->context, [shared, lines = std::move(lines)] {
            for (const ConsoleLines::Line& line : lines) {
                {
                    std::lock_guard<std::mutex> hold(shared->lock);
                    if (!shared->context) return;
                }
                shared->handler(line);
            }
        });
    });
}

ConsoleInput::~ConsoleInput() {
    std::lock_guard<std::mutex> hold(shared->lock);
    shared->context = nullptr;
}

}  // namespace boardwatch
