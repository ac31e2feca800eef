#include "measurements.h"

#include <algorithm>
#include <atomic>
#include <boost/format.hpp>
#include <exception>
#include <thread>

namespace relay_compare {

namespace {

constexpr std::chrono::seconds arrivalTimeout{2};
// A relay that takes nothing for this long has stopped.
constexpr std::chrono::seconds stallTimeout{10};
// The board hands the pty this many frames at a time, so that the bench's
// own writes do not set the pace.
constexpr std::size_t framesPerWrite = 100;
// Start-up work (threads, the first reads) is not idling.
constexpr std::chrono::seconds settleTime{1};

double microsecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

// Empty when all count frames arrived intact; samples is null for the
// warm-up.
std::string timeBoardToProgram(const Relay& relay, VirtualBoard& board, ProgramClient& program, long count,
                               std::vector<double>* samples) {
    for (long i = 0; i < count; ++i) {
        const Bytes frame = fieldUpdateFrame(i);
        const std::string expected = relay.programSideOf(frame);
        const auto start = Clock::now();
        const bool written = board.writeBytesUntil(frame, start + arrivalTimeout);
        const std::string arrived = written ? program.read(expected.size(), arrivalTimeout) : "";
        const double micros = microsecondsSince(start);
        if (arrived.size() != expected.size()) {
            return str(boost::format("board frame %1% did not reach the program within %2% s") % i %
                       arrivalTimeout.count());
        }
        if (arrived != expected) return str(boost::format("board frame %1% reached the program changed") % i);
        if (samples != nullptr) samples->push_back(micros);
    }
    return {};
}

std::string timeProgramToBoard(const Relay& relay, VirtualBoard& board, ProgramClient& program, long count,
                               std::vector<double>* samples) {
    const std::string request = relay.sendBoardRequest();
    for (long i = 0; i < count; ++i) {
        const auto start = Clock::now();
        const Bytes arrived = program.send(request) ? board.read(1, arrivalTimeout) : Bytes{};
        const double micros = microsecondsSince(start);
        if (arrived.empty()) {
            return str(boost::format("request %1% did not reach the board within %2% s") % i % arrivalTimeout.count());
        }
        if (arrived[0] != sendBoardByte) {
            return str(boost::format("request %1% reached the board as byte 0x%2$02X") % i % int(arrived[0]));
        }
        if (samples != nullptr) samples->push_back(micros);
    }
    return {};
}

// Bytes as text for an error message: printable characters as they are.
std::string shown(const std::string& bytes) {
    std::string text;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        text += (byte >= 0x20 && byte < 0x7F) ? std::string(1, c) : str(boost::format("\\x%1$02X") % int(byte));
    }
    return text;
}

// Writes the board's stream until it is all written, stop is set, or the
// relay has taken nothing for stallTimeout.
void writeBoardStream(VirtualBoard& board, const Bytes& stream, const std::atomic<bool>& stop) {
    const std::size_t chunk = framesPerWrite * fieldUpdateFrame(0).size();
    std::size_t written = 0;
    auto stalledAt = Clock::now() + stallTimeout;
    try {
        while (written < stream.size() && !stop && Clock::now() < stalledAt) {
            // Short waits, so that a stop is seen soon. A wait can end with
            // part of the chunk taken: go on after that part.
            const std::size_t taken = board.writeSome(stream.data() + written, std::min(chunk, stream.size() - written),
                                                      Clock::now() + std::chrono::milliseconds(100));
            written += taken;
            if (taken > 0) stalledAt = Clock::now() + stallTimeout;
        }
    } catch (const std::exception&) {
        // The program's side reports what did not arrive.
    }
}

MemoryCheckpoint checkpoint(pid_t relay, long frames) {
    return {frames, statusKiB(relay, "VmRSS"), statusKiB(relay, "VmHWM")};
}

}  // namespace

LatencyRound measureLatencyRound(const Relay& relay, long samples, long warmUp) {
    LatencyRound round;
    try {
        VirtualBoard board;
        const std::unique_ptr<RelayRun> run = relay.start(board);
        for (std::vector<double>* kept : {static_cast<std::vector<double>*>(nullptr), &round.boardToProgram}) {
            if (round.error.empty())
                round.error = timeBoardToProgram(relay, board, *run->program, kept ? samples : warmUp, kept);
        }
        for (std::vector<double>* kept : {static_cast<std::vector<double>*>(nullptr), &round.programToBoard}) {
            if (round.error.empty())
                round.error = timeProgramToBoard(relay, board, *run->program, kept ? samples : warmUp, kept);
        }
        relay.finish(*run);
    } catch (const std::exception& error) {
        round.error = error.what();
    }
    return round;
}

StreamResult streamFieldUpdates(const Relay& relay, long frames, long checkpointEvery) {
    StreamResult result;
    result.frames = frames;
    // Every frame back to back; what the program must receive, and where
    // each frame's part of it ends.
    Bytes boardStream;
    std::string programStream;
    std::vector<std::size_t> ends;
    for (long i = 0; i < frames; ++i) {
        const Bytes frame = fieldUpdateFrame(i);
        boardStream.insert(boardStream.end(), frame.begin(), frame.end());
        programStream += relay.programSideOf(frame);
        ends.push_back(programStream.size());
    }
    try {
        VirtualBoard board;
        const std::unique_ptr<RelayRun> run = relay.start(board);
        const pid_t pid = run->process->pid();
        result.checkpoints.push_back(checkpoint(pid, 0));
        const CpuTime cpuBefore = cpuTime(pid);
        const auto start = Clock::now();
        std::atomic<bool> stop{false};
        std::thread writer([&] { writeBoardStream(board, boardStream, stop); });

        std::size_t offset = 0;
        long nextCheckpoint = checkpointEvery > 0 ? checkpointEvery : frames + 1;
        while (offset < programStream.size()) {
            const std::string got = run->program->readSome(stallTimeout);
            if (got.empty()) {
                result.error = run->program->peerClosed()
                                   ? str(boost::format("the relay closed the connection after %1% frames") %
                                         result.received)
                                   : str(boost::format("nothing arrived for %1% s after %2% frames") %
                                         stallTimeout.count() % result.received);
                break;
            }
            const std::size_t size = std::min(got.size(), programStream.size() - offset);
            const std::size_t same = static_cast<std::size_t>(
                std::mismatch(got.begin(), got.begin() + size, programStream.begin() + offset).first - got.begin());
            if (same < size) {
                // The frame that went wrong, as far as this read holds it.
                const auto frame = std::upper_bound(ends.begin(), ends.end(), offset + same) - ends.begin();
                const std::size_t from = std::max(frame > 0 ? ends[frame - 1] : 0, offset);
                const std::size_t length = std::min(ends[frame], offset + size) - from;
                result.error = str(boost::format("frame %1% arrived as '%2%', expected '%3%'") % frame %
                                   shown(got.substr(from - offset, length)) % shown(programStream.substr(from, length)));
                break;
            }
            offset += size;
            while (result.received < frames && ends[result.received] <= offset) ++result.received;
            for (; result.received >= nextCheckpoint; nextCheckpoint += checkpointEvery) {
                result.checkpoints.push_back(checkpoint(pid, nextCheckpoint));
            }
        }
        result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
        result.relayCpuMicroseconds = (cpuTime(pid) - cpuBefore).bestMicroseconds();
        result.peakKiB = statusKiB(pid, "VmHWM");
        stop = true;
        writer.join();
        relay.finish(*run);
    } catch (const std::exception& error) {
        result.error = error.what();
    }
    return result;
}

std::vector<IdleCpu> measureIdleCpu(const std::vector<const Relay*>& relays, double seconds) {
    std::vector<IdleCpu> results(relays.size());
    std::vector<std::unique_ptr<VirtualBoard>> boards(relays.size());
    std::vector<std::unique_ptr<RelayRun>> runs(relays.size());
    std::vector<CpuTime> before(relays.size());
    for (std::size_t i = 0; i < relays.size(); ++i) {
        results[i].seconds = seconds;
        try {
            boards[i] = std::make_unique<VirtualBoard>();
            runs[i] = relays[i]->start(*boards[i]);
        } catch (const std::exception& error) {
            results[i].error = error.what();
        }
    }
    std::this_thread::sleep_for(settleTime);
    for (std::size_t i = 0; i < relays.size(); ++i) {
        if (runs[i]) before[i] = cpuTime(runs[i]->process->pid());
    }
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    for (std::size_t i = 0; i < relays.size(); ++i) {
        if (!runs[i]) continue;
        const pid_t pid = runs[i]->process->pid();
        results[i].used = cpuTime(pid) - before[i];
        results[i].residentKiB = statusKiB(pid, "VmRSS");
        if (!runs[i]->process->running()) results[i].error = "the relay ended while idle";
    }
    for (std::size_t i = 0; i < relays.size(); ++i) {
        if (runs[i]) relays[i]->finish(*runs[i]);
    }
    return results;
}

}  // namespace relay_compare
