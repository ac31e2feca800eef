#include "recording_format.h"

#include <boost/format.hpp>

#include "log_text.h"

namespace recording {

namespace {

std::string timed(long long milliseconds, const std::string& rest) {
    return str(boost::format("%1% %2%\n") % milliseconds % rest);
}

std::string bytesLine(long long milliseconds, const char* word, const unsigned char* bytes, std::size_t count) {
    static const char digits[] = "0123456789ABCDEF";
    std::string line = std::to_string(milliseconds) + ' ' + word;
    line.reserve(line.size() + 3 * count + 1);
    for (std::size_t i = 0; i < count; ++i) {
        line += ' ';
        line += digits[bytes[i] >> 4];
        line += digits[bytes[i] & 0x0F];
    }
    line += '\n';
    return line;
}

}  // namespace

std::string boardLine(long long milliseconds, const unsigned char* bytes, std::size_t count) {
    return bytesLine(milliseconds, "board", bytes, count);
}

std::string hostLine(long long milliseconds, const unsigned char* bytes, std::size_t count) {
    return bytesLine(milliseconds, "host", bytes, count);
}

std::string openLine(long long milliseconds, const std::string& device) {
    return timed(milliseconds, "open " + escapedForLog(device));
}

std::string closeLine(long long milliseconds) { return timed(milliseconds, "close"); }

std::string lostLine(long long milliseconds, const std::string& error) {
    return timed(milliseconds, "lost " + escapedForLog(error));
}

std::string failedLine(long long milliseconds, const std::string& device, const std::string& error) {
    return timed(milliseconds, "failed " + escapedForLog(device) + ": " + escapedForLog(error));
}

std::string programLine(long long milliseconds, const std::string& line) {
    return timed(milliseconds, "program " + programTextForLog(line));
}

std::string relayLine(long long milliseconds, const std::string& line) {
    return timed(milliseconds, "relay " + programTextForLog(line));
}

std::string headerLines(const std::string& begun) {
    return "# damrelay recording, begun " + begun +
           "\n"
           "# milliseconds since then, then: open DEVICE, close, lost ERROR, failed DEVICE: ERROR,\n"
           "# board BYTES (read from the board), host BYTES (written to it), program LINE (from\n"
           "# the program), relay LINE (sent to it). boardsim --replay plays the board's part again.\n";
}

}  // namespace recording
