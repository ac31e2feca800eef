#include <signal.h>

#include "process_signals.h"

namespace boardwatch {

void ignoreOutputSignals() {
    ::signal(SIGPIPE, SIG_IGN);
    ::signal(SIGXFSZ, SIG_IGN);
}

void addStopSignals(boost::asio::signal_set& signals) {
    signals.add(SIGINT);
    signals.add(SIGTERM);
}

}  // namespace boardwatch
