#include "relay_line.h"

#include <cctype>

#include "textio/utf8.h"

namespace boardwatch {

namespace {

constexpr std::size_t boardSquares = 50;
const std::string linkErrorPrefix = "ERROR: 255 : ";

bool isDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

bool isBoardDump(const std::string& line) {
    return line.size() == boardSquares && line.find_first_not_of(".PRNBKQprnbkq123") == std::string::npos;
}

// The square is one byte of the frame, always three digits.
bool isSquareChange(const std::string& line) {
    return line.size() == 4 && isDigit(line[0]) && isDigit(line[1]) && isDigit(line[2]) && !isDigit(line[3]);
}

// "hh:mm:ss - hh:mm:ss", digits or dashes.
bool isClockTimes(const std::string& line) {
    const std::string shape = "##:##:## - ##:##:##";
    if (line.size() != shape.size()) return false;
    for (std::size_t i = 0; i < shape.size(); ++i) {
        if (shape[i] == '#' ? !(isDigit(line[i]) || line[i] == '-') : line[i] != shape[i]) return false;
    }
    return true;
}

}  // namespace

RelayLine readRelayLine(std::string line) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    RelayLine read;
    read.text = textio::validUtf8(line);
    using Kind = RelayLine::Kind;
    if (line.compare(0, 5, "#busy") == 0) {
        read.kind = Kind::Busy;
    } else if (!line.empty() && line[0] == '#') {
        read.kind = Kind::Comment;
    } else if (line == "CONN") {
        read.kind = Kind::Connected;
    } else if (line == "DISCONN") {
        read.kind = Kind::Disconnected;
    } else if (line == "ERROR") {
        read.kind = Kind::Refused;
    } else if (line.compare(0, linkErrorPrefix.size(), linkErrorPrefix) == 0) {
        // 020 and 021: bytes that made no frame, 012: commands the board
        // did not keep up with; the link goes on.
        const std::string number = line.substr(linkErrorPrefix.size(), 3);
        read.kind = number == "020" || number == "021" || number == "012" ? Kind::LinkNoise : Kind::LinkLost;
    } else if (isBoardDump(line)) {
        read.kind = Kind::BoardDump;
    } else if (isSquareChange(line)) {
        read.kind = Kind::SquareChange;
        read.square = std::stoi(line.substr(0, line.size() - 1));
        read.piece = line.back();
    } else if (isClockTimes(line)) {
        read.kind = Kind::ClockTimes;
    }
    return read;
}

}  // namespace boardwatch
