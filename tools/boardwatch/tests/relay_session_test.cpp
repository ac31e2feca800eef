// The relay conversation without a connection: lines and a fake clock in,
// lines to send and the link's state out.
#include "relay_session.h"

#include <gtest/gtest.h>

#include "options.h"

namespace boardwatch {
namespace {

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

// One step of a conversation: at a time (ms after the connection opened),
// a line from the relay, or nothing but the passing of time; then what the
// session sends and the link's state after it.
struct Step {
    int at;
    const char* line;  // nullptr: only time passes
    Lines sent;
    LinkState state;
};

struct Conversation {
    const char* name;
    std::vector<Step> steps;
    bool hangsUp = false;
};

const std::string dump = "pppppppppppppppppppp..........PPPPPPPPPPPPPPPPPPPP";
const Lines switchOn{"75", "66"};

class RelayConversation : public ::testing::TestWithParam<Conversation> {};

TEST_P(RelayConversation, AsksForWhatTheBoardLost) {
    RelaySession session("COM3", "boardwatch");
    const Time opened{};
    session.opened(opened);
    bool hungUp = false;
    for (const Step& step : GetParam().steps) {
        SCOPED_TRACE(step.line ? step.line : "time " + std::to_string(step.at));
        const Time now = opened + std::chrono::milliseconds(step.at);
        const RelaySession::Output output = step.line ? session.received(readRelayLine(step.line), now) : session.takeDue(now);
        EXPECT_EQ(output.lines, step.sent);
        EXPECT_EQ(session.state(), step.state) << nameOf(session.state());
        hungUp = hungUp || output.hangUp;
    }
    EXPECT_EQ(hungUp, GetParam().hangsUp);
}

INSTANTIATE_TEST_SUITE_P(
    Relay, RelayConversation,
    ::testing::Values(
        Conversation{"following a board",
                     {{0, "#KRV Draughts Server v2.1 Console 2011-06-28", {"#boardwatch", "COM3"}, LinkState::Connecting},
                      {10, "CONN", switchOn, LinkState::WaitingForBoard},
                      {20, dump.c_str(), {}, LinkState::Following},
                      {1009, nullptr, {}, LinkState::Following},
                      {1010, nullptr, {"65"}, LinkState::Following},
                      {1020, "01:29:58 - 01:30:00", {}, LinkState::Following},
                      {2010, nullptr, {"65"}, LinkState::Following}}},
        Conversation{"a pulled cable",
                     {{0, "#KRV", {"#boardwatch", "COM3"}, LinkState::Connecting},
                      {0, "CONN", switchOn, LinkState::WaitingForBoard},
                      {0, "023P", {}, LinkState::Following},
                      {500, "ERROR: 255 : 002 Could not read command: asio.misc:2", {}, LinkState::BoardLost},
                      {1000, nullptr, switchOn, LinkState::BoardLost},
                      {1100, "01:29:58 - 01:30:00", {}, LinkState::BoardLost},
                      {2000, nullptr, switchOn, LinkState::BoardLost},
                      {2100, dump.c_str(), {}, LinkState::Following}}},
        Conversation{"noise on the line, a board not keeping up",
                     {{0, "#KRV", {"#boardwatch", "COM3"}, LinkState::Connecting},
                      {0, "CONN", switchOn, LinkState::WaitingForBoard},
                      {0, dump.c_str(), {}, LinkState::Following},
                      {10, "ERROR: 255 : 020 No command found, data loss possible", {}, LinkState::Following},
                      {20, "ERROR: 255 : 012 Command dropped: the board is not keeping up (250 commands)", {},
                       LinkState::Following}}},
        Conversation{"no board on the port",
                     {{0, "#KRV", {"#boardwatch", "COM3"}, LinkState::Connecting},
                      {10, "ERROR", {}, LinkState::NoBoard},
                      {3009, nullptr, {}, LinkState::NoBoard},
                      {3010, nullptr, {"COM3"}, LinkState::NoBoard},
                      {3020, "CONN", switchOn, LinkState::WaitingForBoard}}},
        Conversation{"the board let go",
                     {{0, "#KRV", {"#boardwatch", "COM3"}, LinkState::Connecting},
                      {0, "CONN", switchOn, LinkState::WaitingForBoard},
                      {0, dump.c_str(), {}, LinkState::Following},
                      {10, "DISCONN", {"COM3"}, LinkState::WaitingForBoard}}},
        Conversation{"a relay that serves another program",
                     {{0, "#busy: another Draughts program is connected", {}, LinkState::RelayBusy}},
                     true},
        Conversation{"a relay that never greets", {{10000, nullptr, {}, LinkState::Connecting}}, true},
        Conversation{"a relay that never answers the port",
                     {{0, "#KRV", {"#boardwatch", "COM3"}, LinkState::Connecting},
                      {10000, nullptr, {}, LinkState::Connecting}},
                     true}),
    [](const auto& info) {
        std::string name = info.param.name;
        for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return name;
    });

TEST(Relay, WaitsLongerWhileTheRelayStaysAwayOrBusyAndAfreshOnceItGreets) {
    RelaySession session("COM3", "boardwatch");
    std::vector<std::chrono::milliseconds> delays;
    for (int i = 0; i < 5; ++i) delays.push_back(session.closed("connection refused"));
    EXPECT_EQ(delays, (std::vector<std::chrono::milliseconds>{1s, 2s, 4s, 5s, 5s}));
    EXPECT_EQ(session.detail(), "connection refused");
    session.closed("cannot find hall-9: Host not found", Closure::NameNotFound);
    EXPECT_EQ(session.state(), LinkState::NameNotFound);

    // A busy relay greets, but not as a relay that serves this program.
    delays.clear();
    const std::string busy = "#busy: another Draughts program is connected";
    for (int i = 0; i < 4; ++i) {
        session.opened(Time{});
        EXPECT_TRUE(session.received(readRelayLine(busy), Time{}).hangUp);
        delays.push_back(session.closed("no answer from the relay"));
        EXPECT_EQ(session.state(), LinkState::RelayBusy);
        EXPECT_EQ(session.detail(), "refused: another Draughts program is connected");
    }
    EXPECT_EQ(delays, (std::vector<std::chrono::milliseconds>{30s, 30s, 30s, 30s}));
    session.opened(Time{});
    session.received(readRelayLine("#KRV"), Time{});
    EXPECT_EQ(session.state(), LinkState::Connecting);
    EXPECT_EQ(session.closed("gone"), 1s);
}

TEST(RelayLines, AreReadAsTheRelaySendsThem) {
    using Kind = RelayLine::Kind;
    const std::vector<std::pair<std::string, Kind>> lines{
        {"#KRV Draughts Server v2.1 Console 2011-06-28", Kind::Comment}, {"CONN", Kind::Connected},
        {"DISCONN", Kind::Disconnected},  {"ERROR", Kind::Refused},      {"ERROR\r", Kind::Refused},
        {dump, Kind::BoardDump},          {dump.substr(1), Kind::Other}, {"023P", Kind::SquareChange},
        {"1234", Kind::Other},            {"01:23:45 - 00:59:07", Kind::ClockTimes},
        {"--:--:-- - --:--:--", Kind::ClockTimes},
        {"ERROR: 255 : 010 Could not write data: system:9", Kind::LinkLost},
        {"ERROR: 255 : 021 Invalid frame size, data loss possible", Kind::LinkNoise},
        {"ERROR: 255 : 012 Command dropped: the board is not keeping up (3 commands)", Kind::LinkNoise},
        {"ACK: GENERATED ACK (ready)", Kind::Other}, {"01.00", Kind::Other},
        {"#busy: another Draughts program is connected", Kind::Busy}};
    for (const auto& [line, kind] : lines) EXPECT_EQ(readRelayLine(line).kind, kind) << line;
    // Bytes that are no UTF-8 are replaced; control bytes are left to the console.
    EXPECT_EQ(readRelayLine("ERROR: 255 : 002 \xff\x1b[2J\xc3\xa9\r").text, "ERROR: 255 : 002 \xEF\xBF\xBD\x1b[2J\xc3\xa9");
    const RelayLine change = readRelayLine("045k");
    EXPECT_EQ(change.square, 45);
    EXPECT_EQ(change.piece, 'k');
}

TEST(CommandLine, TakesRelaysAndSaysWhatIsWrong) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> refused{
        {{}, "no relay to follow: give --round FILE or relays"},
        {{"127.0.0.1:50000"}, "'127.0.0.1:50000' is no HOST:PORT/COMn (for example 127.0.0.1:50000/COM3)"},
        {{"127.0.0.1:50000/COM0"}, "'127.0.0.1:50000/COM0' is no HOST:PORT/COMn (for example 127.0.0.1:50000/COM3)"},
        {{"127.0.0.1:0/COM3"}, "'127.0.0.1:0/COM3': a relay listens on a port from 1 to 65535"},
        {{"::1:50000/COM3"}, "'::1:50000': an IPv6 address goes in brackets, as [::1]:50000"},
        {{"--http"}, "--http needs a value"},
        {{"--http", "x:99999", "h:1/COM1"}, "'x:99999': the port is a number from 0 to 65535"},
        {{"--bogus", "h:1/COM1"}, "unknown option '--bogus'"},
        {{"h\x1b[2J:1/COM1"}, "'h\x1b[2J:1': a host is written in printable ASCII"},
        {{"--host", "evil.example:80", "h:1/COM1"},
         "--host 'evil.example:80': give a host name, as the browser's address shows it"},
        {{"--date", "9.12.2026", "h:1/COM1"}, "--date '9.12.2026': write the date as YYYY.MM.DD, 2026.12.09"},
        {{"--event", "a\nb", "h:1/COM1"}, "--event holds a line break or another control character"}};
    for (const auto& [words, message] : refused) {
        std::string error;
        EXPECT_FALSE(parseOptions(words, error));
        EXPECT_EQ(error, message);
    }
    std::string error;
    const std::optional<Options> options =
        parseOptions({"--http=[::1]:0", "--pdn", "games", "hall-3:50000/COM3", "[fe80::1]:50001/COM12", "--host",
                      "Hall.Example", "--host=watch", "HALL-3:50000/com3", "--round", "r3.csv", "--event", " Open ",
                      "--round-tag=3", "--date", "2026.12.09"},
                     error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->http.host, "::1");
    EXPECT_EQ(options->pdnFolder, "games");
    ASSERT_EQ(options->relays.size(), 2u);
    EXPECT_EQ(options->relays[0].relay.host, "hall-3");
    EXPECT_EQ(options->relays[1].relay.host, "fe80::1");
    EXPECT_EQ(options->relays[1].relay.port, 50001);
    EXPECT_EQ(options->relays[1].portName, "COM12");
    EXPECT_EQ(options->relays[1].text, "[fe80::1]:50001/COM12");
    EXPECT_EQ(options->pageNames, (std::vector<std::string>{"hall.example", "watch"}));
    EXPECT_EQ(options->roundFile, "r3.csv");
    EXPECT_EQ(options->round.event, "Open");
    EXPECT_EQ(options->round.site, "?");
    EXPECT_EQ(options->round.round, "3");
    EXPECT_EQ(options->round.date, "2026.12.09");
    // The same board in other letters is followed once, and the console says so.
    EXPECT_EQ(options->notes,
              (std::vector<std::string>{"HALL-3:50000/com3 is the board hall-3:50000/COM3 again: followed once"}));
    const std::optional<Options> lower = parseOptions({"hall-3:50000/com3"}, error);
    ASSERT_TRUE(lower) << error;
    EXPECT_EQ(lower->relays[0].portName, "COM3");
}

}  // namespace
}  // namespace boardwatch
