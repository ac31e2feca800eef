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

// A word of the file as a reason quotes it: the file is anyone's.
std::string quoted(const std::string& word) {
    return "'" + (word.size() > 40 ? word.substr(0, 40) + "..." : word) + "'";
}

}  // namespace

std::nullopt_t RecordingReader::fail(const std::string& what) {
    fault = (boost::format("line %1%: %2%") % lines.number() % what).str();
    return std::nullopt;
}

std::optional<RecordedFrame> RecordingReader::next() {
    while (fault.empty()) {
        const std::optional<std::string_view> line = lines.next();
        if (!line) return std::nullopt;
        std::istringstream words{std::string(*line)};
        std::string word, kind;
        if (!(words >> word) || word[0] == '#') continue;
        const std::optional<long long> time = timeOf(word);
        if (!time) return fail("a line begins with its time in milliseconds, not " + quoted(word));
        if (*time < last) return fail("the time goes back");
        last = *time;
        words >> kind;
        // Time zero is when the relay opened the port before the first frame.
        if (kind == "open" && !anyFrame) zero = *time;
        if (kind == "open" || kind == "close" || kind == "program" || kind == "error") continue;
        if (kind != "board") return fail(quoted(kind) + " is none of open, close, board, program, error");
        Bytes bytes;
        while (words >> word && word[0] != '#') {
            const std::optional<unsigned char> byte = hexByte(word);
            if (!byte) return fail("a board line's bytes are pairs of hexadecimal digits, not " + quoted(word));
            bytes.push_back(*byte);
        }
        if (bytes.empty()) return fail("a board line without bytes");
        anyFrame = true;
        return RecordedFrame{std::chrono::milliseconds(*time - zero), std::move(bytes)};
    }
    return std::nullopt;
}

std::optional<std::size_t> countFrames(std::string_view text, std::string& error) {
    RecordingReader reader(text);
    std::size_t count = 0;
    while (reader.next()) ++count;
    error = reader.error();
    if (!error.empty()) return std::nullopt;
    return count;
}

Replay::Replay(std::string recorded) : text(std::make_unique<const std::string>(std::move(recorded))), reader(*text) {
    std::string error;
    frames = countFrames(*text, error).value_or(0);
    upcoming = reader.next();
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

std::optional<Bytes> Replay::takeDue(Time now) {
    if (!begun || !upcoming || sendTime(*upcoming) > now) return std::nullopt;
    Bytes due = std::move(upcoming->bytes);
    upcoming = reader.next();
    return due;
}

std::optional<Time> Replay::nextDue() const {
    if (!begun || !upcoming) return std::nullopt;
    return sendTime(*upcoming);
}

}  // namespace boardsim
