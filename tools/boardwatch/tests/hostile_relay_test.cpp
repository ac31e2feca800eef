// Relays as an unlucky or hostile user meets them, each through the real
// boardwatch: bytes that are no text, a relay that serves another program,
// names that hang or are not found, and a hall whose state is larger than
// a viewer's bound.
#include <cstdlib>

#include "fake_relay.h"
#include "watch_processes.h"

namespace watchtest {
namespace {

std::string relayAt(const FakeRelay& relay, const std::string& port) {
    return "127.0.0.1:" + std::to_string(relay.port()) + "/" + port;
}

std::size_t countOf(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

// The data of the first event of a stream's bytes.
nlohmann::json firstEvent(const std::string& stream) {
    const std::string start = "\r\n\r\nevent: state\ndata: ";
    const std::size_t from = stream.find(start);
    const std::size_t end = stream.find("\n\n", from + start.size());
    if (from == std::string::npos || end == std::string::npos) return nlohmann::json();
    return nlohmann::json::parse(stream.substr(from + start.size(), end - from - start.size()));
}

const std::string eventsRequest = "GET /events HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";

TEST_F(WatchedGame, ARelaysBytesReachThePageAsTextAndTheConsoleEscaped) {
    // Bytes that are no UTF-8, a terminal's escape and a C1 control.
    const std::string hostile = "ERROR: 255 : 002 \xff\xfe gone \x1b[2J\xc2\x9b" "31m";
    FakeRelay relay([&](FakeRelay::Connection& connection) {
        connection.greetAndOpen();
        connection.send(hostile);
        connection.stayOpen();
    });
    startWatch({relayAt(relay, "COM3")});
    ASSERT_TRUE(waitUntil([&] { return board()["link"] == "board lost"; })) << watch->console();
    const std::string replaced = "ERROR: 255 : 002 \xEF\xBF\xBD\xEF\xBF\xBD gone \x1b[2J\xc2\x9b" "31m";
    EXPECT_EQ(board()["linkDetail"], replaced);
    EXPECT_EQ(firstEvent(httpExchange(pagePort, eventsRequest))["boards"][0]["linkDetail"], replaced);
    EXPECT_TRUE(watch->waitForConsole("board lost: ERROR: 255 : 002 \xEF\xBF\xBD\xEF\xBF\xBD gone \\x1B[2J\\xC2\\x9B31m"))
        << watch->console();
    EXPECT_EQ(watch->console().find('\x1b'), std::string::npos);
    EXPECT_TRUE(watch->running());
}

TEST_F(WatchedGame, ARelayThatServesAnotherProgramIsShownBusyAndAskedLessAndLessOften) {
    const std::string busy = "#busy: another Draughts program is connected";
    FakeRelay relay([&](FakeRelay::Connection& connection) { connection.send(busy); });
    startWatch({relayAt(relay, "COM3")});
    ASSERT_TRUE(waitUntil([&] { return board()["link"] == "relay busy"; })) << watch->console();
    EXPECT_EQ(board()["linkDetail"], "refused: another Draughts program is connected");
    // Tries at 0, 1, 3 and 7 s, and on, up to every 30 s: not every second.
    std::this_thread::sleep_for(6s);
    EXPECT_GE(relay.connections(), 2u);
    EXPECT_LE(relay.connections(), 4u);
    EXPECT_EQ(countOf(watch->console(), "board 1: relay busy: refused: another Draughts program is connected"), 1u)
        << watch->console();
}

TEST_F(WatchedGame, ANameThatHangsOrIsNotFoundHoldsUpNoOtherRelay) {
    // A relay that lets boardwatch go at once, to be looked up and connected
    // to again and again.
    FakeRelay relay([](FakeRelay::Connection& connection) {
        connection.greetAndOpen();
        connection.readLine(200ms);
    });
    std::string asan = "ASAN_OPTIONS=verify_asan_link_order=0";
    if (const char* given = std::getenv("ASAN_OPTIONS")) asan += std::string(":") + given;
    startWatch({"board.hang:50000/COM3", "board.nothere:50000/COM3", "localhost:" + std::to_string(relay.port()) + "/COM3"},
               {"env", "LD_PRELOAD=" SLOW_LOOKUP_LIBRARY, asan});
    // 1, 2 and 4 s between its connections: none waits for the name that hangs.
    EXPECT_TRUE(waitUntil([&] { return relay.connections() >= 3; }, 20s)) << watch->console();
    const nlohmann::json state = nlohmann::json::parse(httpGet(pagePort, "/state.json").value_or("{}"));
    EXPECT_EQ(state["boards"][0]["link"], "connecting");
    EXPECT_EQ(state["boards"][1]["link"], "name not found");
    // Once, however often it was tried.
    EXPECT_EQ(countOf(watch->console(), "board 2: name not found: host not found: board.nothere"), 1u)
        << watch->console();
}

TEST_F(WatchedGame, TheFirstEventOfAHallLargerThanAViewersBoundReachesTheViewer) {
    // Twenty boards whose links failed with long lines make a state of 1.2 MB.
    const std::string failure = "ERROR: 255 : 002 " + std::string(60000, 'x');
    FakeRelay relay([&](FakeRelay::Connection& connection) {
        connection.greetAndOpen();
        connection.send(failure);
        connection.stayOpen();
    });
    std::vector<std::string> relays;
    for (int port = 1; port <= 20; ++port) relays.push_back(relayAt(relay, "COM" + std::to_string(port)));
    startWatch(relays);
    ASSERT_TRUE(waitUntil([&] {
        const std::optional<std::string> state = httpGet(pagePort, "/state.json");
        if (!state) return false;
        const nlohmann::json boards = nlohmann::json::parse(*state)["boards"];
        return std::all_of(boards.begin(), boards.end(), [](const auto& b) { return b["link"] == "board lost"; });
    })) << watch->console();
    const std::string stream = httpExchange(pagePort, eventsRequest);
    EXPECT_GT(stream.size(), 1024u * 1024u);
    EXPECT_EQ(firstEvent(stream)["boards"].size(), 20u);
}

}  // namespace
}  // namespace watchtest
