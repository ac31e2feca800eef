// The page's server's pure parts: which Host headers name the page (the
// address the connection reached in any of its forms, localhost on a
// loopback address, the page's names), and its notes of failures that come
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
