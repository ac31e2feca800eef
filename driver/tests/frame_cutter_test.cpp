// Cutting the board's byte stream into frames, without a port: stray bytes,
// bad headers and where the next frame is found after them.

#include "frame_cutter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "virtualboard/board_frame.h"

namespace {

constexpr std::size_t wholeStream = SIZE_MAX;

using krvEBLowLevel::FrameCutter;
using virtualboard::boardFrame;
using virtualboard::Bytes;

std::string hex(unsigned char byte) {
    static const char digits[] = "0123456789ABCDEF";
    return {digits[byte >> 4], digits[byte & 0x0F]};
}

// Feeds the stream at most piece bytes at a time, as reads that bring
// whatever has arrived do, and lists what came out: a frame as "frame:" and
// its bytes in hex, a dropped byte as "stray", a dropped header as "bad size".
std::vector<std::string> cut(const Bytes& stream, std::size_t piece) {
    FrameCutter cutter;
    std::vector<std::string> outcomes;
    for (std::size_t at = 0; at < stream.size();) {
        const std::size_t end = at + std::min(piece, stream.size() - at);
        while (at < end) {
            const FrameCutter::Step step = cutter.take(stream.data() + at, end - at);
            at += step.used;
            if (step.made == FrameCutter::Made::strayByte) outcomes.push_back("stray");
            if (step.made == FrameCutter::Made::badSize) outcomes.push_back("bad size");
            if (step.made != FrameCutter::Made::frame) continue;
            std::string frame = "frame:";
            for (int i = 0; i < cutter.frameSize(); ++i) frame += hex(cutter.frame()[i]);
            outcomes.push_back(frame);
        }
    }
    return outcomes;
}

TEST(FrameCutter, FindsEveryFrameAfterStrayBytesAndBadHeaders) {
    const Bytes version = {0x93, 0x00, 0x05, 0x01, 0x02};
    const std::string versionFrame = "frame:9300050102";
    const std::string stray = "stray";
    const std::string bad = "bad size";
    auto before = [&](Bytes bytes) {
        bytes.insert(bytes.end(), version.begin(), version.end());
        return bytes;
    };
    Bytes oversized = boardFrame(0x8F, Bytes(9998, 0x01));  // size 10001
    Bytes largest = boardFrame(0x8F, Bytes(0x3FFF - 3, 0x7F));

    const struct {
        const char* what;
        Bytes stream;
        std::vector<std::string> outcomes;
    } cases[] = {
        {"a frame without payload", {0x85, 0x00, 0x03}, {"frame:850003"}},
        {"stray bytes, each dropped", before({0x00, 0x41, 0x7F}), {stray, stray, stray, versionFrame}},
        {"size 0", before({0x8E, 0x00, 0x00}), {bad, versionFrame}},
        {"size 2, shorter than its own header", before({0x8E, 0x00, 0x02}), {bad, versionFrame}},
        {"high size byte is the next frame's id", before({0x8E}), {bad, versionFrame}},
        {"low size byte is the next frame's id", before({0x8E, 0x00}), {bad, versionFrame}},
        {"both size bytes are ids", before({0x8E, 0x8E}), {bad, bad, versionFrame}},
        {"a size byte that is an id, then size 0", {0xB2, 0x93, 0x00, 0x00, 0x03}, {bad, bad, stray}},
        {"a body too large for a frame is skipped whole", before(oversized), {bad, versionFrame}},
        {"the largest size the wire can carry", before(largest), {bad, versionFrame}},
    };
    for (const auto& c : cases) {
        for (const std::size_t piece : {std::size_t{1}, std::size_t{2}, std::size_t{7}, wholeStream}) {
            SCOPED_TRACE(std::string(c.what) + ", pieces of " + std::to_string(piece));
            EXPECT_EQ(cut(c.stream, piece), c.outcomes);
        }
    }
}

TEST(FrameCutter, TakesNoByteBeyondTheFrameInHandAndLeavesZerosBehindAShortOne) {
    FrameCutter cutter;
    Bytes stream = boardFrame(0x86, Bytes(197, 0x7F));
    const Bytes version = boardFrame(0x93, {1, 2});
    stream.insert(stream.end(), version.begin(), version.end());

    const FrameCutter::Step dump = cutter.take(stream.data(), stream.size());
    EXPECT_EQ(dump.made, FrameCutter::Made::nothing) << "the id byte alone";
    std::size_t at = dump.used;
    FrameCutter::Step step{0, FrameCutter::Made::nothing};
    while (step.made != FrameCutter::Made::frame) {
        step = cutter.take(stream.data() + at, stream.size() - at);
        at += step.used;
    }
    EXPECT_EQ(at, 200u) << "the board dump and not a byte of the version behind it";
    step = cutter.take(stream.data() + at, stream.size() - at);
    while (step.made != FrameCutter::Made::frame) {
        at += step.used;
        step = cutter.take(stream.data() + at, stream.size() - at);
    }
    // The decoders of fixed layouts read past a short frame: they find zeros
    // there, not the board dump's bytes.
    EXPECT_EQ(Bytes(cutter.frame(), cutter.frame() + FrameCutter::decoderReach),
              (Bytes{0x93, 0x00, 0x05, 1, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

}  // namespace
