#include "console.h"

#include <mutex>
#include <ostream>

#include "textio/bounded_writer.h"
#include "textio/descriptor_output.h"

namespace {

// Where the console's texts go: standard output, or a test's stream.
class ConsoleOutput {
public:
    bool write(const std::string& texts) {
        std::lock_guard<std::mutex> hold(lock);
        if (stream == nullptr) {
            textio::writeToDescriptor(1, texts);
        } else {
            *stream << texts;
            stream->flush();
        }
        // A console that has gone loses its lines; the relay goes on.
        return true;
    }
    void redirect(std::ostream* newStream) {
        std::lock_guard<std::mutex> hold(lock);
        stream = newStream;
    }

private:
    std::mutex lock;
    std::ostream* stream = nullptr;
};

struct Console {
    ConsoleOutput output;
    textio::BoundedWriter writer{
        [this](const std::string& texts) { return output.write(texts); },
        {1024 * 1024, textio::WhenFull::dropOldest, [](std::size_t lines) {
             return "*** the console did not keep up, lines dropped: " + std::to_string(lines) + "\n";
         }}};
};

Console& console() {
    // Never destroyed: when the process ends, its writer may still be
    // blocked on a console nobody reads.
    static Console* const instance = new Console;
    return *instance;
}

}  // namespace

void writeConsole(const std::string& text) { console().writer.add(text); }

bool flushConsole(std::chrono::milliseconds patience) { return console().writer.flush(patience); }

void redirectConsole(std::ostream* stream) {
    console().writer.flush(std::chrono::milliseconds::max());
    console().output.redirect(stream);
}
