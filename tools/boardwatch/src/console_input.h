#ifndef BOARDWATCH_CONSOLE_INPUT_H
#define BOARDWATCH_CONSOLE_INPUT_H

// The lines typed at boardwatch's console, read on a thread of their own
// and handed to the io_context's thread: a console that gives nothing (a
// service's /dev/null, a terminal nobody types at) holds up nothing. At the
// end of input the reading ends; boardwatch goes on.

#include <boost/asio/io_context.hpp>
#include <functional>
#include <memory>
#include <string>

#include "console_command.h"

namespace boardwatch {

class ConsoleInput {
public:
    using Handler = std::function<void(const ConsoleLines::Line& line)>;

    // Starts reading standard input; each line goes to the handler on the
    // io_context's thread, until the ConsoleInput goes.
    ConsoleInput(boost::asio::io_context& context, Handler handler);
    // A read under way is left to end with the process; its lines are dropped.
    ~ConsoleInput();
    ConsoleInput(const ConsoleInput&) = delete;
    ConsoleInput& operator=(const ConsoleInput&) = delete;

    // Shared with the reading thread, which may outlive the ConsoleInput.
    struct Shared;

private:
    std::shared_ptr<Shared> shared;
};

// The platform's reading of standard input: bytes as they come, until its
// end; false when there is no thread to read on.
bool readStandardInput(std::function<void(std::string_view bytes)> take);

}  // namespace boardwatch

#endif
