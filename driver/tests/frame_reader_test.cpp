// The bytes of any port cut into frames and reports: each run of stray bytes
// once, before what ends it or once the line is quiet, and a failed read
// named by the part of the frame it cut.

#include "frame_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "virtualboard/board_frame.h"

namespace {

using namespace krvEBLowLevel;
using namespace std::chrono_literals;
using virtualboard::boardFrame;
using virtualboard::Bytes;

// Everything the reader made, as text, in order.
class Events : public FrameReader::Sink {
public:
    void frame(const unsigned char* bytes, int size) override {
        seen.push_back("frame " + std::to_string(bytes[0]) + " of " + std::to_string(size));
    }
    void report(const LinkError& error) override { seen.push_back(describe(error)); }
    std::vector<std::string> seen;
};

const std::string stray = "020 No command found, data loss possible";

TEST(FrameReader, ReportsEachRunOfStrayBytesOnceBeforeWhatEndsItAndTheLastOnceTheLineIsQuiet) {
    boost::asio::io_context loop;
    Events events;
    FrameReader reader(loop, events);
    const Bytes frame = boardFrame(0x8E, {23, 1});
    Bytes stream(2000, 0x05);
    for (const Bytes& part : {frame, Bytes{0x05}, frame, Bytes{0x01, 0x02, 0x8E, 0x00, 0x00}, frame, Bytes(3, 0x7F)}) {
        stream.insert(stream.end(), part.begin(), part.end());
    }
    // In pieces, as reads bring them.
    for (std::size_t at = 0; at < stream.size(); at += 333) {
        reader.feed(stream.data() + at, std::min<std::size_t>(333, stream.size() - at));
    }
    loop.run_for(400ms);
    const std::string frameEvent = "frame 142 of 5";
    EXPECT_EQ(events.seen, (std::vector<std::string>{
                               stray + " (2000 bytes)",
                               frameEvent,
                               stray + " (1 byte)",
                               frameEvent,
                               stray + " (2 bytes)",
                               "021 Invalid frame size, data loss possible",
                               frameEvent,
                               stray + " (3 bytes)",
                           }));
}

TEST(FrameReader, NamesAFailedReadByThePartOfTheFrameItCutAfterTheStrayBytesBeforeIt) {
    const struct {
        Bytes before;
        std::string failure;
    } cases[] = {
        {{0x05, 0x05}, "002 Could not read command: system:5"},
        {{0x8E}, "003 Could not read size: system:5"},
        {{0x8E, 0x00, 0x05, 23}, "004 Could not read data: system:5"},
    };
    for (const auto& c : cases) {
        boost::asio::io_context loop;
        Events events;
        FrameReader reader(loop, events);
        reader.feed(c.before.data(), c.before.size());
        events.seen.push_back(
            describe(reader.readFailed(boost::system::error_code(5, boost::system::system_category()))));
        std::vector<std::string> expected;
        if (c.before[0] == 0x05) expected.push_back(stray + " (2 bytes)");
        expected.push_back(c.failure);
        EXPECT_EQ(events.seen, expected);

        // A new port starts with a new frame.
        reader.restart();
        const Bytes version = boardFrame(0x93, {1, 2});
        reader.feed(version.data(), version.size());
        EXPECT_EQ(events.seen.back(), "frame 147 of 5");
    }
}

}  // namespace
