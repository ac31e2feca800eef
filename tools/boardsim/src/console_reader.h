#ifndef BOARDSIM_CONSOLE_READER_H
#define BOARDSIM_CONSOLE_READER_H

#include <functional>
#include <memory>
#include <string>

namespace boardsim {

// Standard input read on a thread of its own, for a loop that cannot wait
// on it itself (a Windows console cannot be waited on with sockets): each
// piece read goes to deliver, on that thread, and an empty piece says that
// input has ended. After each piece the thread waits for more() before it
// reads again, so that a console fed faster than the board takes it waits.
//
// A read of a console may never return; the thread is left to end with the
// process, and deliver is not called once the reader is gone.
class ConsoleReader {
public:
    using Delivery = std::function<void(std::string piece)>;

    explicit ConsoleReader(Delivery deliver);
    ~ConsoleReader();
    ConsoleReader(const ConsoleReader&) = delete;
    ConsoleReader& operator=(const ConsoleReader&) = delete;

    // The board takes more: the thread may read again.
    void more();

private:
    struct Shared;
    std::shared_ptr<Shared> shared;
};

}  // namespace boardsim

#endif
