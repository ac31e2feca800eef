// The page's server's pure parts: which Host headers name the page (the
// address the connection reached in any of its forms, localhost on a
// loopback address, the page's names), who may enter a result, the round's
// PDN for a poller that has it, and its notes of failures that come
// thousands of times a second.
#include <gtest/gtest.h>

#include "note_throttle.h"
#include "page_answers.h"

namespace boardwatch {
namespace {

TEST(PageNames, AreTheAddressReachedLocalhostOnLoopbackAndTheNamesGiven) {
    namespace ip = boost::asio::ip;
    const PageNames loopback{ip::make_address("127.0.0.1"), {"hall.example"}};
    const PageNames network{ip::make_address("::ffff:192.168.1.20"), {"organiser"}};
    const PageNames six{ip::make_address("::1"), {}};
    const struct {
        const char* host;
        const PageNames& page;
        bool named;
    } cases[] = {
        {"127.0.0.1:8080", loopback, true},         {"127.0.0.1", loopback, true},
        {"LocalHost:8080", loopback, true},         {"Hall.Example:443", loopback, true},
        {"evil.example:8080", loopback, false},     {"127.0.0.1.evil.example", loopback, false},
        {"", loopback, false},                      {":8080", loopback, false},
        {"192.168.1.20:8080", network, true},       {"localhost:8080", network, false},
        {"organiser:8080", network, true},          {"[::1]:8080", six, true},
        {"[0:0:0:0:0:0:0:1]", six, true},           {"[::1", six, false},
        {"[::1]x", six, false},                     {"localhost", six, true},
    };
    for (const auto& c : cases) EXPECT_EQ(hostNamesPage(c.host, c.page), c.named) << c.host;
}

class Hall : public PageContent {
public:
    std::string stateJson() override { return "{}"; }
    const RoundPdn& roundPdn() override { return round; }
    bool hasBoard(int number) override { return number == 3; }
    std::string enterResult(int board, const std::string& result) override {
        entered.push_back(std::to_string(board) + " " + result);
        return "";
    }
    RoundPdn round{"[Event \"?\"]\n\n*\n", "\"abc-1\""};
    std::vector<std::string> entered;
};

PageRequest requestOf(boost::beast::http::verb method, const std::string& target,
                      const std::vector<std::pair<std::string, std::string>>& fields, const std::string& body = "") {
    PageRequest request(method, target, 11);
    request.set(boost::beast::http::field::host, "127.0.0.1");
    for (const auto& [name, value] : fields) request.set(name, value);
    request.body() = body;
    return request;
}

TEST(PageAnswers, TakeAResultOnlyWithTheArbitersTokenAndForABoardThereIs) {
    using boost::beast::http::verb;
    const std::string token = "0123456789abcdef-token";
    const PageAccess access{{boost::asio::ip::make_address("127.0.0.1"), {}}, token};
    const PageAccess withoutToken{access.names, ""};
    const std::pair<std::string, std::string> bearer{"Authorization", "Bearer " + token};
    const struct {
        const char* what;
        const PageAccess& access;
        PageRequest request;
        unsigned status;
    } cases[] = {
        {"the token", access, requestOf(verb::post, "/board/3/result", {bearer}, "1-1\n"), 200},
        {"no token file", withoutToken, requestOf(verb::post, "/board/3/result", {bearer}, "1-1"), 403},
        {"no token", access, requestOf(verb::post, "/board/3/result", {}, "1-1"), 401},
        {"a wrong token", access, requestOf(verb::post, "/board/3/result", {{"Authorization", "Bearer x" + token}}, "1-1"), 401},
        {"the token cut short", access, requestOf(verb::post, "/board/3/result", {{"Authorization", "Bearer 0123"}}, "1-1"), 401},
        {"another scheme", access, requestOf(verb::post, "/board/3/result", {{"Authorization", "Basic " + token}}, "1-1"), 401},
        {"no such board", access, requestOf(verb::post, "/board/4/result", {bearer}, "1-1"), 404},
        {"no result", access, requestOf(verb::post, "/board/3/result", {bearer}, "1-0"), 400},
        {"a GET", access, requestOf(verb::get, "/board/3/result", {bearer}), 405},
        {"a POST elsewhere", access, requestOf(verb::post, "/state.json", {bearer}, "1-1"), 405},
    };
    Hall hall;
    for (const auto& c : cases) {
        EXPECT_EQ(answerRequest(c.request, c.access, hall).response.result_int(), c.status) << c.what;
    }
    EXPECT_EQ(hall.entered, std::vector<std::string>{"3 1-1"});
}

TEST(PageAnswers, GiveTheRoundsPdnWithItsTagAndNotAgainToAPollerThatHasIt) {
    using boost::beast::http::verb;
    const PageAccess access{{boost::asio::ip::make_address("127.0.0.1"), {}}, ""};
    Hall hall;
    const PageAnswer full = answerRequest(requestOf(verb::get, "/round.pdn", {}), access, hall);
    EXPECT_EQ(full.response.result_int(), 200u);
    EXPECT_EQ(full.response.body(), hall.round.text);
    EXPECT_EQ(full.response[boost::beast::http::field::etag], hall.round.etag);
    const PageAnswer same = answerRequest(requestOf(verb::get, "/round.pdn", {{"If-None-Match", "\"abc-1\""}}), access, hall);
    EXPECT_EQ(same.response.result_int(), 304u);
    EXPECT_TRUE(same.response.body().empty());
    const PageAnswer changed = answerRequest(requestOf(verb::get, "/round.pdn", {{"If-None-Match", "\"old\""}}), access, hall);
    EXPECT_EQ(changed.response.result_int(), 200u);
    EXPECT_EQ(answerRequest(requestOf(verb::get, "/board/3", {}), access, hall).response.result_int(), 200u);
    EXPECT_EQ(answerRequest(requestOf(verb::get, "/board/4", {}), access, hall).response.result_int(), 404u);
}

TEST(NoteThrottle, SaysANoteAtMostOnceASecondWithHowOftenItCameMeanwhile) {
    using namespace std::chrono_literals;
    NoteThrottle throttle;
    const NoteThrottle::Time start{};
    std::vector<std::string> said;
    for (auto at = 0ms; at < 2500ms; at += 100ms) {
        if (auto line = throttle.take("page: cannot take a connection", start + at)) said.push_back(*line);
    }
    EXPECT_EQ(said, (std::vector<std::string>{"page: cannot take a connection",
                                              "page: cannot take a connection (9 more since the last such line)",
                                              "page: cannot take a connection (9 more since the last such line)"}));
}

}  // namespace
}  // namespace boardwatch
