#include <csignal>
#include <string>
#include <vector>

#include "console.h"
#include "startup.h"

int main(int argc, char** argv) {
#if !defined(_WIN32)
    // A console piped into a reader that has gone (damrelay | tee ...) must
    // not end the relay; its log lines are then simply lost. Sends to the
    // program pass MSG_NOSIGNAL themselves.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    const int exitCode = runRelay(std::vector<std::string>(argv + 1, argv + argc));
    // The last lines (why the relay ends) are the ones most wanted; a
    // console nobody reads gets a moment for them, not a hold on the exit.
    flushConsole(consolePatience);
    return exitCode;
}
