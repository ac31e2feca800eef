#include "latency.h"

#include <boost/format.hpp>
#include <exception>

#include "field_updates.h"

namespace relay_compare {

namespace {

constexpr std::chrono::seconds arrivalTimeout{2};

// Empty when all count frames arrived intact; samples may be null for the
// warm-up.
std::string timeBoardToProgram(const RelaySubject& subject, BoardPty& board, TcpClient& program, long count,
                               std::vector<double>* samples) {
    Bytes arrived;
    for (long i = 0; i < count; ++i) {
        const Bytes frame = fieldUpdateFrame(i);
        const Bytes expected = subject.programSideOf(frame);
        arrived.assign(expected.size(), 0);

        const auto start = Clock::now();
        const auto deadline = start + arrivalTimeout;
        if (board.write(frame.data(), frame.size(), deadline) != frame.size() ||
            !program.readExactly(arrived.data(), arrived.size(), deadline)) {
            return str(boost::format("board frame %1% did not reach the program within %2% s") % i %
                       arrivalTimeout.count());
        }
        const double micros = microsecondsSince(start);
        if (arrived != expected) return str(boost::format("board frame %1% reached the program changed") % i);
        if (samples != nullptr) samples->push_back(micros);
    }
    return {};
}

std::string timeProgramToBoard(const RelaySubject& subject, BoardPty& board, TcpClient& program, long count,
                               std::vector<double>* samples) {
    const Bytes request = subject.sendBoardRequest();
    for (long i = 0; i < count; ++i) {
        unsigned char arrived = 0;
        const auto start = Clock::now();
        if (!program.sendAll(request.data(), request.size()) ||
            !board.readExactly(&arrived, 1, start + arrivalTimeout)) {
            return str(boost::format("request %1% did not reach the board within %2% s") % i % arrivalTimeout.count());
        }
        const double micros = microsecondsSince(start);
        if (arrived != sendBoardByte) {
            return str(boost::format("request %1% reached the board as byte 0x%2$02X") % i % int(arrived));
        }
        if (samples != nullptr) samples->push_back(micros);
    }
    return {};
}

}  // namespace

LatencyRound measureLatencyRound(const RelaySubject& subject, long samples, long warmUp) {
    LatencyRound round;
    round.boardToProgram.reserve(static_cast<std::size_t>(samples));
    round.programToBoard.reserve(static_cast<std::size_t>(samples));
    try {
        BoardPty board;
        const std::unique_ptr<RelayRun> run = subject.start(board);
        TcpClient& program = run->program;
        round.error = timeBoardToProgram(subject, board, program, warmUp, nullptr);
        if (round.error.empty())
            round.error = timeBoardToProgram(subject, board, program, samples, &round.boardToProgram);
        if (round.error.empty()) round.error = timeProgramToBoard(subject, board, program, warmUp, nullptr);
        if (round.error.empty())
            round.error = timeProgramToBoard(subject, board, program, samples, &round.programToBoard);
        subject.finish(*run);
    } catch (const std::exception& error) {
        round.error = error.what();
    }
    return round;
}

}  // namespace relay_compare
