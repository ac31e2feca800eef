#include "simulated_board.h"

#include <boardio/commands.h>

#include <boost/format.hpp>

namespace boardsim {

namespace {

using namespace krvEBLowLevel;

// Clock commands carry at most eleven bytes after their count byte.
constexpr std::size_t longestClockCount = 11;

// Acknowledgements start with 16; a clock command this clock cannot carry
// out gets the error code 1 instead.
constexpr int ackMarker = 16;
const std::array<int, 4> clockCommandRefused{1, 0, 1, 0};
constexpr int clockVersion = 0x10;  // 1.0: major in the high nibble

std::chrono::seconds secondsOf(const unsigned char* hms) {
    return std::chrono::hours(hms[0]) + std::chrono::minutes(hms[1]) + std::chrono::seconds(hms[2]);
}

}  // namespace

std::vector<Bytes> RequestReader::feed(const Bytes& bytes) {
    pending.insert(pending.end(), bytes.begin(), bytes.end());
    std::vector<Bytes> requests;
    std::size_t used = 0;
    while (used < pending.size()) {
        std::size_t length = 1;
        if (pending[used] == KRV_CMD_CLOCK_MESSAGE) {
            if (pending.size() - used < 2) break;
            // A count no clock command has: the code byte alone goes on as a
            // request the board refuses, and reading goes on behind it.
            if (pending[used + 1] <= longestClockCount) length = 2 + pending[used + 1];
            if (pending.size() - used < length) break;
        }
        requests.emplace_back(pending.begin() + used, pending.begin() + used + length);
        used += length;
    }
    pending.erase(pending.begin(), pending.begin() + used);
    return requests;
}

SimulatedBoard::SimulatedBoard(const Position& start, Time now, RequestNotes& notes)
    : board(start), clock(std::chrono::hours(1) + std::chrono::minutes(30), now), notes(notes) {
    clock.run(start.toMove(), now);
}

void SimulatedBoard::switchUpdates(Updates mode, const char* description, Time now) {
    updates = mode;
    notes.note(mode == Updates::Off ? "reset" : "updates on", now,
               [&] { return boost::format("host: %1%\n") % description; });
}

std::vector<Bytes> SimulatedBoard::answer(const Bytes& request, Time now) {
    const unsigned char code = request.at(0);
    if (code == KRV_CMD_CLOCK_MESSAGE) return answerClock(request, now);
    switch (code) {
        case KRV_CMD_SEND_RESET:
            switchUpdates(Updates::Off, "reset, updates off", now);
            return {versionFrame(1, 0)};
        case KRV_CMD_SEND_CLK:
            return {clockTimesFrame(clock.left(Side::White, now), clock.left(Side::Black, now))};
        case KRV_CMD_SEND_BRD:
            return {boardDumpFrame(boardDumpId, board)};
        case KRV_CMD_SEND_UPDATE:
            switchUpdates(Updates::Fields, "updates on: each change of a square", now);
            return {boardDumpFrame(boardDumpId, board)};
        case KRV_CMD_SEND_UPDATE_BRD:
            switchUpdates(Updates::Dumps, "updates on: the board after each change of a square", now);
            return {boardDumpFrame(changeDumpId, board)};
        case KRV_CMD_RETURN_SERIALNR:
            return {textFrame(serialNumberId, "00000001"), textFrame(longSerialNumberId, "VB00000001")};
        case KRV_CMD_RETURN_BUSADDRESS:
            return {busAddressFrame(1)};
        case KRV_CMD_SEND_TRADEMARK:
            return {textFrame(trademarkId, "Virtual draughts board (boardsim)")};
        case KRV_CMD_SEND_EE_MOVES:
            return {storedMovesFrame(stored)};
        case KRV_CMD_SEND_UPDATE_NICE:
            switchUpdates(Updates::FieldsAndMoveDumps, "updates on: each change of a square, the board after each move",
                          now);
            return {boardDumpFrame(moveDumpId, board)};
        case KRV_CMD_SEND_BATTERY_STATUS:
            return {batteryFrame(95, 12, 30)};
        case KRV_CMD_SEND_VERSION:
            return {versionFrame(1, 0)};
        default:
            notes.note("unknown request", now, [&] {
                return boost::format("host: unknown request 0x%1$02X ignored\n") % static_cast<int>(code);
            });
            return {};
    }
}

std::vector<Bytes> SimulatedBoard::answerClock(const Bytes& command, Time now) {
    const std::size_t size = command.size();
    const int sub = size > 3 ? command[3] : -1;
    const auto ack = [sub](int third = 0) { return std::vector<Bytes>{clockAckFrame({ackMarker, sub, third, 0})}; };
    if (size < 4 || command[2] != 0x03) {
        notes.note("malformed clock command", now, [&] { return "clock: a malformed clock command refused\n"; });
    } else if (sub == KRV_CLOCK_DISPLAY && size >= 12) {
        notes.note("clock display", now, [&] {
            return boost::format("clock shows \"%1%\" (dots 0x%2$02X%3%)\n") % displayText(&command[4]) %
                   static_cast<int>(command[10]) % (command[11] ? ", beep" : "");
        });
        return ack();
    } else if (sub == KRV_CLOCK_END_MESSAGE) {
        notes.note("clock display ended", now, [&] { return "clock shows the times again\n"; });
        return ack();
    } else if (sub == KRV_CLOCK_VERSION) {
        return ack(clockVersion);
    } else if (sub == KRV_CLOCK_SET_N_RUN && size >= 11) {
        clock.set(secondsOf(&command[4]), secondsOf(&command[7]), board.toMove(), now);
        const ClockTime white = clock.left(Side::White, now), black = clock.left(Side::Black, now);
        notes.note("clock set", now, [&] {
            return boost::format("clock set to %1%:%2$02d:%3$02d - %4%:%5$02d:%6$02d (mode %7%)\n") % white.hours %
                   white.minutes % white.seconds % black.hours % black.minutes % black.seconds %
                   static_cast<int>(command[10]);
        });
        return ack(command[10]);
    } else if (sub == KRV_CLOCK_BEEP && size >= 5) {
        notes.note("clock beep", now, [&] { return boost::format("clock beeps (%1%)\n") % (command[4] >> 4); });
        return ack();
    } else {
        notes.note("unknown clock command", now,
                   [&] { return boost::format("clock: unknown clock command 0x%1$02X refused\n") % sub; });
    }
    return {clockAckFrame(clockCommandRefused)};
}

std::vector<Bytes> SimulatedBoard::change(int square, Piece piece) {
    board.put(square, piece);
    if (updates == Updates::Fields || updates == Updates::FieldsAndMoveDumps) return {fieldUpdateFrame(square, piece)};
    if (updates == Updates::Dumps) return {boardDumpFrame(changeDumpId, board)};
    return {};
}

std::vector<Bytes> SimulatedBoard::moveDone(const Move& move, Time now) {
    stored.push_back(move);
    if (stored.size() > movesKept) stored.erase(stored.begin());
    runClockFor(opponentOf(board.toMove()), now);
    if (updates == Updates::FieldsAndMoveDumps) return {boardDumpFrame(moveDumpId, board)};
    return {};
}

void SimulatedBoard::runClockFor(Side side, Time now) {
    board.setToMove(side);
    clock.run(side, now);
}

void SimulatedBoard::moveTakenBack(Side toMove, Time now) {
    if (!stored.empty()) stored.pop_back();
    runClockFor(toMove, now);
}

void SimulatedBoard::positionSetUp(Side toMove, Time now) {
    stored.clear();
    runClockFor(toMove, now);
}

std::vector<Bytes> SimulatedBoard::keyPressed(ClockKey key) {
    // The clock's own acknowledgements: 16, then the key's code.
    const int code = key == ClockKey::Ready ? 129 : key == ClockKey::Mode ? 138 : 136;
    return {clockAckFrame({ackMarker, code, 0, 0})};
}

}  // namespace boardsim
