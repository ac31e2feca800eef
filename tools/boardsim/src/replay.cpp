#include "replay.h"

#include <boost/format.hpp>
#include <sstream>

#include "paced_line.h"

namespace boardsim {

namespace {

std::optional<unsigned char> hexByte(const std::string& word) {
    if (word.size() != 2 || word.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) return {};
    return static_cast<unsigned char>(std::stoi(word, nullptr, 16));
}

// The milliseconds a line begins with: at most twelve digits.
std::optional<long long> timeOf(const std::string& word) {
    if (word.empty() || word.size() > 12 || word.find_first_not_of("0123456789") != std::string::npos) return {};
    return std::stoll(word);
}

}  // namespace

std::optional<std::vector<RecordedFrame>> readRecording(const std::string& text, std::string& error) {
    std::vector<RecordedFrame> frames;
    std::istringstream lines(text);
    long long zero = 0, last = 0;
    int number = 0;
    const auto fault = [&error, &number](const std::string& what) {
        error = (boost::format("line %1%: %2%") % number % what).str();
        return std::nullopt;
    };
    for (std::string line; std::getline(lines, line);) {
        ++number;
        std::istringstream words(line);
        std::string word, kind;
        if (!(words >> word) || word[0] == '#') continue;
        const std::optional<long long> time = timeOf(word);
        if (!time) return fault("a line begins with its time in milliseconds, not '" + word + "'");
        if (*time < last) return fault("the time goes back");
        last = *time;
        words >> kind;
        // Time zero is when the relay opened the port before the first frame.
        if (kind == "open" && frames.empty()) zero = *time;
        if (kind == "open" || kind == "close" || kind == "program" || kind == "error") continue;
        if (kind != "board") return fault("'" + kind + "' is none of open, close, board, program, error");
        Bytes bytes;
        while (words >> word && word[0] != '#') {
            const std::optional<unsigned char> byte = hexByte(word);
            if (!byte) return fault("a board line's bytes are pairs of hexadecimal digits, not '" + word + "'");
            bytes.push_back(*byte);
        }
        if (bytes.empty()) return fault("a board line without bytes");
        frames.push_back({std::chrono::milliseconds(*time - zero), bytes});
    }
    return frames;
}

void Replay::start(Time now) {
    if (!begun) begun = now;
}

Time Replay::sendTime(const RecordedFrame& frame) const {
    // The line hands each byte over as it starts; the last starts this long
    // after the first.
    const auto onTheLine = std::chrono::duration_cast<Time::duration>((frame.bytes.size() - 1) * PacedLine::byteTime);
    return std::max(*begun, *begun + frame.at - onTheLine);
}

std::vector<Bytes> Replay::takeDue(Time now) {
    std::vector<Bytes> due;
    while (begun && next < frames.size() && sendTime(frames[next]) <= now) due.push_back(frames[next++].bytes);
    return due;
}

std::optional<Time> Replay::nextDue() const {
    if (!begun || finished()) return std::nullopt;
    return sendTime(frames[next]);
}

}  // namespace boardsim
