// The page's viewers: one that stops reading is dropped once too much waits
// for it, and the others go on getting every event.
#include "viewers.h"

#include <gtest/gtest.h>

#include <boost/asio/ip/tcp.hpp>

namespace boardwatch {
namespace {

using boost::asio::ip::tcp;
using namespace std::chrono_literals;

struct Reader {
    explicit Reader(tcp::socket socket) : socket(std::move(socket)) { read(); }
    void read() {
        socket.async_read_some(boost::asio::buffer(buffer), [this](const boost::system::error_code& error, std::size_t size) {
            received += size;
            if (!error) read();
        });
    }
    tcp::socket socket;
    std::array<char, 65536> buffer{};
    std::size_t received = 0;
};

TEST(Viewers, OneThatStopsReadingIsDroppedAndTheOthersGoOn) {
    boost::asio::io_context context;
    tcp::acceptor acceptor(context, {boost::asio::ip::address_v4::loopback(), 0});
    tcp::socket stuck(context), reading(context);
    stuck.connect(acceptor.local_endpoint());
    tcp::socket stuckServer = acceptor.accept();
    reading.connect(acceptor.local_endpoint());
    tcp::socket readingServer = acceptor.accept();

    std::size_t watching = 0;
    Viewers viewers(context, [&](std::size_t count) { watching = count; });
    viewers.join(boost::beast::tcp_stream(std::move(stuckServer)), eventText("state", "{}"));
    viewers.join(boost::beast::tcp_stream(std::move(readingServer)), eventText("state", "{}"));
    Reader reader(std::move(reading));
    ASSERT_EQ(watching, 2u);

    // Far more than the socket buffers and the waiting limit together.
    const std::string event(256 * 1024, 'x');
    std::size_t published = 0;
    for (int i = 0; i < 400 && watching == 2; ++i) {
        viewers.publish("board", event);
        published += eventText("board", event).size();
        context.run_for(Viewers::gathering + 10ms);
    }
    EXPECT_EQ(watching, 1u);
    EXPECT_GT(published, EventStream::waitingLimit);
    // The one that reads gets every byte: nothing waited for the other.
    for (int i = 0; i < 3000 && reader.received < published; ++i) context.run_for(10ms);
    EXPECT_GE(reader.received, published);
}

}  // namespace
}  // namespace boardwatch
