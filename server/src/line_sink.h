#ifndef DAMRELAY_LINE_SINK_H
#define DAMRELAY_LINE_SINK_H

#include <string>

// Where the relay's lines for the draughts program go: its connection in the
// relay, a recorder in tests.
class LineSink {
public:
    virtual ~LineSink() = default;
    // Logs "send: '<text>'" and sends text with a line feed, without waiting
    // for the program. Log lines and lines on the connection come in the same
    // order. False when the line cannot go because the program has gone.
    virtual bool sendLine(const std::string& text) = 0;
};

#endif
