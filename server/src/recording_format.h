#ifndef DAMRELAY_RECORDING_FORMAT_H
#define DAMRELAY_RECORDING_FORMAT_H

// The lines of a session recording (docs/recording.md): each begins with the
// milliseconds since the recording began and says what happened then.

#include <boardio/boardio.h>

#include <string>
#include <vector>

namespace recording {

using Bytes = std::vector<unsigned char>;

// The frame a board message came in, as far as the driver keeps it: the id
// byte, the two size bytes and the payload. Bytes of the frame the driver
// does not keep (the tail of a battery report, of an over-long board dump)
// are given as 0; notKept counts them.
Bytes frameOf(krvEBLowLevel::Message& message, int& notKept);

// "1261 board 8E 00 05 20 00  # 032.": the frame in hexadecimal and, after
// '#', the line the program got for it. A driver's error report has no
// frame: "1300 error ERROR: 255 : 002 ...".
std::string boardLine(long long milliseconds, krvEBLowLevel::Message& message);
std::string programLine(long long milliseconds, const std::string& line);
std::string openLine(long long milliseconds, const std::string& device);
std::string closeLine(long long milliseconds);
// The comment lines a recording begins with; `begun` is the local date and
// time.
std::string headerLines(const std::string& begun);

}  // namespace recording

#endif
