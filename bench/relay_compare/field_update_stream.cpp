#include "field_update_stream.h"

#include <algorithm>
#include <atomic>
#include <boost/format.hpp>
#include <exception>
#include <thread>

#include "field_updates.h"
#include "process_figures.h"

namespace relay_compare {

namespace {

// A relay that takes nothing for this long has stopped.
constexpr std::chrono::seconds stallTimeout{10};
// The board hands the pty this many frames at a time, so that the bench's
// own writes do not set the pace.
constexpr long framesPerWrite = 100;

struct Streams {
    Bytes board;                    // every frame, back to back
    Bytes program;                  // what the program must receive
    std::vector<std::size_t> ends;  // where each frame's part of program ends
};

Streams buildStreams(const RelaySubject& subject, long frames) {
    Streams streams;
    streams.ends.reserve(static_cast<std::size_t>(frames));
    for (long i = 0; i < frames; ++i) {
        const Bytes frame = fieldUpdateFrame(i);
        const Bytes expected = subject.programSideOf(frame);
        streams.board.insert(streams.board.end(), frame.begin(), frame.end());
        streams.program.insert(streams.program.end(), expected.begin(), expected.end());
        streams.ends.push_back(streams.program.size());
    }
    return streams;
}

// Bytes as text for an error message: printable characters as they are.
std::string shown(const unsigned char* bytes, std::size_t size) {
    std::string text;
    for (std::size_t i = 0; i < size; ++i) {
        const unsigned char c = bytes[i];
        text += (c >= 0x20 && c < 0x7F) ? std::string(1, static_cast<char>(c))
                                        : str(boost::format("\\x%1$02X") % static_cast<int>(c));
    }
    return text;
}

// The scheduler's figure where the kernel keeps one: stat's ticks are too
// coarse for a stream that may last a fraction of a second.
double cpuMicroseconds(pid_t relay) {
    const CpuTime used = cpuTime(relay);
    return used.scheduledMicroseconds >= 0 ? used.scheduledMicroseconds : used.statMilliseconds * 1000.0;
}

// Which frame went wrong and how, for a mismatch at byte `at` of the
// program's stream in the chunk that starts at byte `offset`.
std::string describeMismatch(const Streams& streams, const unsigned char* chunk, std::size_t size, std::size_t offset,
                             std::size_t at) {
    const auto frame =
        static_cast<std::size_t>(std::upper_bound(streams.ends.begin(), streams.ends.end(), at) - streams.ends.begin());
    const std::size_t frameStart = frame > 0 ? streams.ends[frame - 1] : 0;
    const std::size_t frameSize = streams.ends[frame] - frameStart;
    // The frame's bytes as far as this chunk holds them.
    const std::size_t from = std::max(frameStart, offset);
    const std::size_t shownSize = std::min(frameStart + frameSize, offset + size) - from;
    return str(boost::format("frame %1% arrived as '%2%', expected '%3%'") % frame %
               shown(chunk + (from - offset), shownSize) % shown(streams.program.data() + from, shownSize));
}

MemoryCheckpoint checkpoint(pid_t relay, long frames) {
    return {frames, statusKiB(relay, "VmRSS"), statusKiB(relay, "VmHWM")};
}

// Writes the board's stream until it is all written, stop is set, or the
// relay has taken nothing for stallTimeout.
void writeBoardStream(BoardPty& board, const Bytes& stream, const std::atomic<bool>& stop) {
    const std::size_t chunk = static_cast<std::size_t>(framesPerWrite) * fieldUpdateFrame(0).size();
    std::size_t written = 0;
    auto stalledAt = Clock::now() + stallTimeout;
    while (written < stream.size() && !stop && Clock::now() < stalledAt) {
        const std::size_t size = std::min(chunk, stream.size() - written);
        // Short waits, so that a stop is seen soon. A wait can end with part
        // of the chunk taken: go on after that part, never write it again.
        const std::size_t taken =
            board.write(stream.data() + written, size, Clock::now() + std::chrono::milliseconds(100));
        written += taken;
        if (taken > 0) stalledAt = Clock::now() + stallTimeout;
    }
}

}  // namespace

StreamResult streamFieldUpdates(const RelaySubject& subject, long frames, long checkpointEvery) {
    StreamResult result;
    result.frames = frames;
    const Streams streams = buildStreams(subject, frames);
    try {
        BoardPty board;
        const std::unique_ptr<RelayRun> run = subject.start(board);
        const pid_t relay = run->process->pid();
        result.checkpoints.push_back(checkpoint(relay, 0));

        std::atomic<bool> stop{false};
        const double cpuBefore = cpuMicroseconds(relay);
        const auto start = Clock::now();
        std::thread writer([&] { writeBoardStream(board, streams.board, stop); });

        std::vector<unsigned char> buffer(64 * 1024);
        std::size_t offset = 0;
        long nextCheckpoint = checkpointEvery > 0 ? checkpointEvery : frames + 1;
        while (offset < streams.program.size()) {
            const long got = run->program.readSome(buffer.data(), buffer.size(), Clock::now() + stallTimeout);
            if (got <= 0) {
                result.error =
                    got == 0 ? str(boost::format("nothing arrived for %1% s after %2% frames") % stallTimeout.count() %
                                   result.received)
                             : str(boost::format("the relay closed the connection after %1% frames") % result.received);
                break;
            }
            const std::size_t size = std::min(static_cast<std::size_t>(got), streams.program.size() - offset);
            const unsigned char* expected = streams.program.data() + offset;
            const auto differs = std::mismatch(buffer.data(), buffer.data() + size, expected);
            if (differs.first != buffer.data() + size) {
                result.error = describeMismatch(streams, buffer.data(), size, offset,
                                                offset + static_cast<std::size_t>(differs.first - buffer.data()));
                break;
            }
            offset += size;
            while (result.received < frames && streams.ends[result.received] <= offset) ++result.received;
            while (result.received >= nextCheckpoint) {
                result.checkpoints.push_back(checkpoint(relay, nextCheckpoint));
                nextCheckpoint += checkpointEvery;
            }
        }
        result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
        result.relayCpuMicroseconds = cpuMicroseconds(relay) - cpuBefore;
        result.peakKiB = statusKiB(relay, "VmHWM");
        stop = true;
        writer.join();
        subject.finish(*run);
    } catch (const std::exception& error) {
        result.error = error.what();
    }
    return result;
}

}  // namespace relay_compare
