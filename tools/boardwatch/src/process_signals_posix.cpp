#include <signal.h>

#include "process_signals.h"

namespace boardwatch {

void ignoreOutputSignals() {
    ::signal(SIGPIPE, SIG_IGN);
    ::signal(SIGXFSZ, SIG_IGN);
    // Started in the background of a terminal (boardwatch ... &), reading
    // the console would stop the whole process, page and all: the read
    // fails instead, and is tried again until boardwatch is in the
    // foreground.
    ::signal(SIGTTIN, SIG_IGN);
    ::signal(SIGTTOU, SIG_IGN);
}

void addStopSignals(boost::asio::signal_set& signals) {
    signals.add(SIGINT);
    signals.add(SIGTERM);
}

}  // namespace boardwatch
