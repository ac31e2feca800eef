#include "replay.h"

#include <boost/format.hpp>
#include <utility>

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

ReplayStep stepAt(ReplayStep::Kind kind, long long milliseconds, Bytes bytes = {}) {
    return ReplayStep{kind, std::chrono::milliseconds(milliseconds), std::move(bytes)};
}

}  // namespace

std::nullopt_t RecordingReader::fail(const std::string& what) {
    fault = (boost::format("line %1%: %2%") % lines.number() % what).str();
    return std::nullopt;
}

std::optional<ReplayStep> RecordingReader::next() {
    if (pending) return std::exchange(pending, std::nullopt);
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
        if (std::optional<ReplayStep> step = stepOf(kind, *time, words)) return step;
    }
    return std::nullopt;
}

std::optional<ReplayStep> RecordingReader::stepOf(const std::string& kind, long long time, std::istringstream& words) {
    using Kind = ReplayStep::Kind;
    if (kind == "open") {
        opened = true;
        if (cableIn) return stepAt(Kind::hostOpens, time);
        // Back halfway between the last attempt that failed and this one,
        // so that the host's attempts fail and succeed where the relay's did.
        cableIn = true;
        pending = stepAt(Kind::hostOpens, time);
        return stepAt(Kind::plug, downSince + (time - downSince) / 2);
    }
    if (kind == "lost" || kind == "failed") {
        // Before the first open the board is there: the host's first
        // attempt is the one the replay waits for.
        if (!opened) return std::nullopt;
        downSince = time;
        if (!cableIn) return std::nullopt;
        cableIn = false;
        return stepAt(Kind::pull, time);
    }
    if (kind == "board") {
        Bytes bytes;
        std::string word;
        // Recordings of earlier versions end a board line with '#' and the
        // program's line.
        while (words >> word && word[0] != '#') {
            const std::optional<unsigned char> byte = hexByte(word);
            if (!byte) return fail("a board line's bytes are pairs of hexadecimal digits, not " + quoted(word));
            bytes.push_back(*byte);
        }
        if (bytes.empty()) return fail("a board line without bytes");
        ReplayStep step = stepAt(Kind::bytes, time, std::move(bytes));
        if (opened) return step;
        // A recording without open lines: timed from the host's first open.
        opened = true;
        pending = std::move(step);
        return stepAt(Kind::hostOpens, 0);
    }
    for (const char* told : {"close", "host", "program", "relay", "error"}) {
        if (kind == told) return std::nullopt;
    }
    return fail(quoted(kind) + " is none of open, close, lost, failed, board, host, program, relay, error");
}

std::optional<std::size_t> countBoardLines(std::string_view text, std::string& error) {
    RecordingReader reader(text);
    std::size_t count = 0;
    while (const std::optional<ReplayStep> step = reader.next()) count += step->kind == ReplayStep::Kind::bytes;
    error = reader.error();
    if (!error.empty()) return std::nullopt;
    return count;
}

Replay::Replay(std::string recorded) : text(std::make_unique<const std::string>(std::move(recorded))), reader(*text) {
    std::string error;
    boardLines = countBoardLines(*text, error).value_or(0);
    upcoming = reader.next();
}

void Replay::hostOpened(Time now) {
    if (finished()) return;
    if (opens.size() == mostOpensWaiting) opens.pop_front();
    opens.push_back(now);
    matchOpen();
}

// The next open line takes the oldest open of the host it has not taken
// yet: one the host made before the replay came to the line counts too.
void Replay::matchOpen() {
    while (upcoming && upcoming->kind == ReplayStep::Kind::hostOpens && !opens.empty()) {
        base = opens.front();
        baseAt = upcoming->at;
        opens.pop_front();
        upcoming = reader.next();
    }
}

Time Replay::dueTime(const ReplayStep& step) const {
    Time due = *base + (step.at - baseAt);
    if (step.kind == ReplayStep::Kind::bytes) {
        // The line hands each byte over as it starts; the last starts this
        // long after the first.
        due -= std::chrono::duration_cast<Time::duration>((step.bytes.size() - 1) * PacedLine::byteTime);
    }
    return std::max(*base, due);
}

std::optional<Replay::Due> Replay::takeDue(Time now) {
    matchOpen();
    if (!base || !upcoming || upcoming->kind == ReplayStep::Kind::hostOpens || dueTime(*upcoming) > now) {
        return std::nullopt;
    }
    Due due;
    switch (upcoming->kind) {
        case ReplayStep::Kind::bytes:
            due.bytes = std::move(upcoming->bytes);
            break;
        case ReplayStep::Kind::pull:
            due.event = LinkEvent::Pull;
            break;
        case ReplayStep::Kind::plug:
            due.event = LinkEvent::Plug;
            break;
        case ReplayStep::Kind::hostOpens:
            break;
    }
    upcoming = reader.next();
    return due;
}

std::optional<Time> Replay::nextDue() const {
    if (!base || !upcoming || upcoming->kind == ReplayStep::Kind::hostOpens) return std::nullopt;
    return dueTime(*upcoming);
}

}  // namespace boardsim
