// Which Host headers name the page: the address the connection reached in
// any of its forms, localhost on a loopback address, and the page's names.
#include "page_answers.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace boardwatch
