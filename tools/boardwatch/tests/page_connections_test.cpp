// The page's server as a user and a hostile site meet it, through the real
// boardwatch: HEAD, requests for names that are not the page's (DNS
// rebinding), a relay named twice, and connections beyond the cap.
#include "fake_relay.h"
#include "watch_processes.h"

namespace watchtest {
namespace {

std::string relayAt(const FakeRelay& relay, const std::string& port) {
    return "127.0.0.1:" + std::to_string(relay.port()) + "/" + port;
}

std::string statusOf(const std::string& response) { return response.substr(0, response.find("\r\n")); }

// The connections the console says the page takes at most.
int capOf(const std::string& console) {
    const std::string marker = "(at most ";
    const std::size_t at = console.find(marker);
    return at == std::string::npos ? -1 : std::stoi(console.substr(at + marker.size()));
}

TEST_F(WatchedGame, ThePageAnswersHeadAndOnlyItsOwnNamesAndFollowsARelayNamedTwiceOnce) {
    std::mutex lock;
    std::vector<std::string> asked;
    FakeRelay relay([&](FakeRelay::Connection& connection) {
        const std::string port = connection.greetAndOpen();
        {
            std::lock_guard<std::mutex> hold(lock);
            asked.push_back(port);
        }
        connection.stayOpen();
    });
    startWatch({"--host", "Hall.Example", relayAt(relay, "com3"), relayAt(relay, "COM3")});
    ASSERT_TRUE(waitUntil([&] { return board()["link"] == "waiting for the board"; })) << watch->console();
    EXPECT_TRUE(watch->waitForConsole("/COM3 is the board 127.0.0.1:" + std::to_string(relay.port()) +
                                      "/com3 again: followed once"))
        << watch->console();
    EXPECT_EQ(nlohmann::json::parse(*httpGet(pagePort, "/state.json"))["boards"].size(), 1u);
    {
        std::lock_guard<std::mutex> hold(lock);
        EXPECT_EQ(asked, std::vector<std::string>{"COM3"});
    }

    const std::string port = std::to_string(pagePort);
    const std::vector<std::pair<std::string, std::string>> hosts{
        {"127.0.0.1:" + port, "HTTP/1.1 200 OK"},     {"localhost:" + port, "HTTP/1.1 200 OK"},
        {"hall.example", "HTTP/1.1 200 OK"},          {"HALL.EXAMPLE:443", "HTTP/1.1 200 OK"},
        {"evil.example:" + port, "HTTP/1.1 403 Forbidden"}, {"127.0.0.1.evil.example", "HTTP/1.1 403 Forbidden"}};
    for (const auto& [host, status] : hosts) {
        EXPECT_EQ(statusOf(httpExchange(pagePort, "GET /state.json HTTP/1.1\r\nConnection: close\r\nHost: " + host + "\r\n\r\n")), status)
            << host;
    }

    // HEAD: GET's head, with its length, and no body.
    const std::string page = httpExchange(pagePort, "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
    const std::string head = httpExchange(pagePort, "HEAD / HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
    EXPECT_EQ(statusOf(head), "HTTP/1.1 200 OK");
    EXPECT_EQ(head, page.substr(0, page.find("\r\n\r\n") + 4));
    EXPECT_GT(page.size(), head.size());
}

TEST_F(WatchedGame, ConnectionsBeyondTheCapAreTurnedAwayWithinTheDescriptorLimitRaisedToTheHardOne) {
    FakeRelay relay([](FakeRelay::Connection& connection) {
        connection.greetAndOpen();
        connection.stayOpen();
    });
    const std::vector<std::string> relays{relayAt(relay, "COM3")};
    // A soft limit of 64 is raised to the hard one, and the cap with it.
    startWatch(relays, {"/bin/sh", "-c", "ulimit -S -n 64 && exec \"$0\" \"$@\""});
    EXPECT_GT(capOf(watch->console()), 64) << watch->console();

    // A hard limit of 64 leaves 12 connections to the page.
    startWatch(relays, {"/bin/sh", "-c", "ulimit -n 64 && exec \"$0\" \"$@\""});
    ASSERT_EQ(capOf(watch->console()), 12) << watch->console();
    std::vector<std::unique_ptr<testing_support::ProgramClient>> idle;
    for (int i = 0; i < 12; ++i) idle.push_back(std::make_unique<testing_support::ProgramClient>(pagePort));
    const std::string turnedAway = httpExchange(pagePort, "GET /state.json HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
    EXPECT_EQ(statusOf(turnedAway), "HTTP/1.1 503 Service Unavailable");
    EXPECT_TRUE(watch->waitForConsole("the most it takes: a new one is turned away")) << watch->console();
    // One goes, and the page answers again.
    idle.pop_back();
    EXPECT_TRUE(waitUntil([&] { return board().is_object(); })) << watch->console();
}

}  // namespace
}  // namespace watchtest
