#include <csignal>

#include "process_signals.h"

namespace boardwatch {

// A console or file that fails on Windows fails the write, no more.
void ignoreOutputSignals() {}

// Ctrl-C, and Ctrl-Break.
void addStopSignals(boost::asio::signal_set& signals) {
    signals.add(SIGINT);
    signals.add(SIGTERM);
    signals.add(SIGBREAK);
}

}  // namespace boardwatch
