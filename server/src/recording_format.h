#ifndef DAMRELAY_RECORDING_FORMAT_H
#define DAMRELAY_RECORDING_FORMAT_H

// The lines of a session recording (docs/recording.md): each begins with the
// milliseconds since the recording began and says what happened then.

#include <cstddef>
#include <string>

namespace recording {

// "2574 board 8E 00 05 20 00": bytes the board sent, in hexadecimal, as one
// read brought them.
std::string boardLine(long long milliseconds, const unsigned char* bytes, std::size_t count);
// "2514 host 44": bytes written to the board.
std::string hostLine(long long milliseconds, const unsigned char* bytes, std::size_t count);
std::string openLine(long long milliseconds, const std::string& device);
std::string closeLine(long long milliseconds);
// The link failed (a read or a write) and the port was closed: "3922 lost
// asio.misc:2".
std::string lostLine(long long milliseconds, const std::string& error);
// The port could not be opened: "4500 failed /dev/ttyUSB0: system:2".
std::string failedLine(long long milliseconds, const std::string& device, const std::string& error);
// A line from the program, and one the relay sent it, as the console shows
// them.
std::string programLine(long long milliseconds, const std::string& line);
std::string relayLine(long long milliseconds, const std::string& line);
// The comment lines a recording begins with; `begun` is the local date and
// time.
std::string headerLines(const std::string& begun);

}  // namespace recording

#endif
