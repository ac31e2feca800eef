#ifndef BOARDWATCH_PROCESS_SIGNALS_H
#define BOARDWATCH_PROCESS_SIGNALS_H

// The signals boardwatch ends on, and those it must not end on: each
// platform has its own.

#include <boost/asio/signal_set.hpp>

namespace boardwatch {

// A console whose reader has gone (a pipe) must not end boardwatch, nor a
// file size limit (a write that fails is told and tried again), nor a
// console it may not use while in a terminal's background.
void ignoreOutputSignals();
// Interrupt and termination: boardwatch ends, its files given time first.
void addStopSignals(boost::asio::signal_set& signals);

}  // namespace boardwatch

#endif
