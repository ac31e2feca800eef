// The write path with a port of the test's own: what the caller writes at
// once, what the loop writes after it, a block cut by its port's failure,
// blocks without a port, and blocks beyond the bound.

#include "write_path.h"

#include <gtest/gtest.h>

#include <boost/asio/error.hpp>
#include <string>
#include <vector>

namespace {

using namespace krvEBLowLevel;
using namespace std::chrono_literals;
using Bytes = std::vector<unsigned char>;

// Takes what the test lets it take at once; keeps the loop's writes pending
// until the test completes them.
class TestPort : public BoardPort {
public:
    void startReading(Reader&) override {}
    void write(const unsigned char* bytes, std::size_t count, WriteDone done) override {
        pending.push_back({Bytes(bytes, bytes + count), std::move(done)});
    }
    std::size_t writeNow(const unsigned char* bytes, std::size_t count) override {
        const std::size_t taken = std::min(count, takesNow);
        takesNow -= taken;
        takenNow.insert(takenNow.end(), bytes, bytes + taken);
        return taken;
    }
    void close() override {}
    // Completes the oldest pending write: its bytes.
    Bytes complete(const boost::system::error_code& error = {}) {
        Pending oldest = std::move(pending.front());
        pending.erase(pending.begin());
        oldest.done(error);
        return oldest.bytes;
    }

    struct Pending {
        Bytes bytes;
        WriteDone done;
    };
    std::size_t takesNow = SIZE_MAX;
    Bytes takenNow;
    std::vector<Pending> pending;
};

class Owner : public WritePath::Owner {
public:
    void writing(const unsigned char* bytes, std::size_t count) override { handed.emplace_back(bytes, bytes + count); }
    void writeFailed(const boost::system::error_code&) override { ++failures; }
    void dropped(std::size_t blocks) override { drops.push_back(blocks); }
    void waitingForPort() override { ++portWanted; }

    std::vector<Bytes> handed;
    int failures = 0;
    std::vector<std::size_t> drops;
    int portWanted = 0;
};

class WritePathTest : public ::testing::Test {
protected:
    void hand(const Bytes& bytes, bool mayWriteNow = true) { path.hand(bytes.data(), bytes.size(), mayWriteNow); }
    void runLoop() {
        loop.restart();
        loop.poll();
    }

    boost::asio::io_context loop;
    Owner owner;
    WritePath path{loop, owner, 20};
    std::shared_ptr<TestPort> port = std::make_shared<TestPort>();
};

TEST_F(WritePathTest, TheCallerWritesWhileNothingWaitsAndTheLoopWritesTheRestInOrder) {
    path.attach(port);
    hand({1, 2});
    EXPECT_EQ(port->takenNow, (Bytes{1, 2})) << "written on the caller's thread";

    port->takesNow = 1;
    hand({3, 4, 5});
    hand({6});
    hand({7}, false);
    runLoop();
    EXPECT_EQ(port->takenNow, (Bytes{1, 2, 3}));
    ASSERT_EQ(port->pending.size(), 1u) << "one write in flight";
    EXPECT_EQ(port->complete(), (Bytes{4, 5}));
    runLoop();
    EXPECT_EQ(port->complete(), (Bytes{6}));
    runLoop();
    EXPECT_EQ(port->complete(), (Bytes{7}));
    runLoop();
    EXPECT_TRUE(port->pending.empty());
    EXPECT_EQ(owner.handed, (std::vector<Bytes>{{4, 5}, {6}, {7}})) << "what the loop wrote, as it began";

    port->takesNow = SIZE_MAX;
    hand({8}, false);
    runLoop();
    EXPECT_EQ(port->complete(), (Bytes{8})) << "a caller that may not write hands it to the loop";
}

TEST_F(WritePathTest, ABlockCutByItsPortsFailureGoesOutWholeOnTheNextPortNeverItsRest) {
    path.attach(port);
    port->takesNow = 2;
    hand({1, 2, 3, 4, 5});
    hand({6});
    runLoop();
    ASSERT_EQ(port->pending.size(), 1u);

    // The port fails with the rest in flight; a new one opens.
    path.detach();
    EXPECT_TRUE(path.waiting());
    auto next = std::make_shared<TestPort>();
    path.attach(next);
    port->complete(boost::asio::error::operation_aborted);
    runLoop();
    EXPECT_EQ(owner.failures, 0) << "the abandoned write is no news";
    EXPECT_EQ(next->complete(), (Bytes{1, 2, 3, 4, 5}));
    runLoop();
    EXPECT_EQ(next->complete(), (Bytes{6}));
    runLoop();
    EXPECT_FALSE(path.waiting());
}

TEST_F(WritePathTest, AFailedWriteIsReportedAndItsBlockNotWrittenAgain) {
    path.attach(port);
    port->takesNow = 0;
    hand({1, 2});
    hand({3});
    runLoop();
    port->complete(boost::asio::error::broken_pipe);
    EXPECT_EQ(owner.failures, 1);
    path.detach();
    const auto next = std::make_shared<TestPort>();
    path.attach(next);
    EXPECT_TRUE(path.waiting()) << "the block behind it waits for the next port";
    // A pending write's completion holds its port, as Asio's do until their
    // loop is gone.
    next->pending.clear();
}

TEST_F(WritePathTest, WithoutAPortBlocksWaitAskForOneAndAreCountedWhenNoneComes) {
    hand({1});
    hand({2});
    hand({3});
    runLoop();
    EXPECT_EQ(owner.portWanted, 1);
    EXPECT_EQ(path.discardWaiting(), 3u);
    EXPECT_FALSE(path.waiting());
}

TEST_F(WritePathTest, BlocksBeyondTheBoundAreDroppedAndEachRunReportedOnce) {
    hand(Bytes(15, 1));
    for (int i = 0; i < 4; ++i) hand(Bytes(6, 2));
    hand(Bytes(5, 3));
    loop.run_for(600ms);
    EXPECT_EQ(owner.drops, std::vector<std::size_t>{4}) << "one report for the run of four";
    EXPECT_EQ(path.discardWaiting(), 2u) << "the blocks that fit wait";
}

}  // namespace
