#include "board_program.h"

#include <boost/format.hpp>

#include "board_diagram.h"
#include "draughts/pdn.h"

namespace boardsim {

namespace {

const char* const consoleHelp =
    "Type moves to make them on the board, one or more on a line: 32-28, 28x19,\n"
    "26x37x48 (or 26x48). 'board' shows the board, 'quit' ends the board.\n";

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// Moves typed on a line are written as in a game file: move numbers and
// comments may come with them.
draughts::GameCheck checkTyped(const Position& from, const std::string& line) {
    std::string error;
    const std::vector<draughts::PdnGame> games = draughts::readPdn(line, error);
    if (!error.empty()) return {{}, from, error};
    return checkGame(from, games.empty() ? std::vector<std::string>{} : games.front().moves);
}

}  // namespace

BoardProgram::BoardProgram(std::ostream& console, std::chrono::milliseconds pace, const std::vector<Move>& moves,
                           Time now)
    : console(console), board(now, console), schedule(pace) {
    console << diagramOf(board.pieces())
            << "P white man, K white king, p black man, k black king; type moves such as 32-28, or help\n";
    if (moves.empty()) return;
    schedule.hold();
    play(moves, now);
    console << boost::format("a game of %1% moves waits for the host to switch updates on\n") % moves.size();
}

void BoardProgram::play(const std::vector<Move>& moves, Time now) {
    for (const Move& move : moves) {
        schedule.add(game, move, now);
        notations.push_back(notationOf(game, move));
        game = afterMove(game, move);
    }
}

void BoardProgram::send(const std::vector<Bytes>& frames, Time now, PacedLine::Kind kind) {
    for (const Bytes& frame : frames) line.send(frame, kind, now);
}

void BoardProgram::fromHost(const Bytes& bytes, Time now) {
    for (const Bytes& request : requests.feed(bytes)) send(board.answer(request, now), now, PacedLine::Kind::Answer);
    if (schedule.isHeld() && board.updatesOn()) {
        schedule.release(now);
        console << "the game starts\n";
    }
}

bool BoardProgram::fromConsole(const std::string& typed, Time now) {
    const std::string line = trimmed(typed);
    if (line.empty()) return true;
    if (line == "quit" || line == "exit") return false;
    if (line == "board") {
        console << diagramOf(board.pieces());
    } else if (line == "help") {
        console << consoleHelp;
    } else {
        const draughts::GameCheck check = checkTyped(game, line);
        if (!check.error.empty()) {
            console << boost::format("not played: %1%\n") % check.error;
        } else {
            if (schedule.isHeld()) console << "these moves follow the game\n";
            play(check.moves, now);
        }
    }
    return true;
}

Bytes BoardProgram::takeDue(Time now) {
    for (const MoveSchedule::Step& step : schedule.takeDue(now)) {
        send(board.change(step.change.square, step.change.piece), now);
        if (!step.completes) continue;
        const Side mover = board.pieces().toMove();
        send(board.moveDone(*step.completes, now), now);
        console << boost::format("%1% played %2%\n%3%") % nameOf(mover) % notations.front() % diagramOf(board.pieces());
        notations.pop_front();
    }
    noteDroppedAnswers(now);
    return line.takeDue(now).bytes;
}

void BoardProgram::noteDroppedAnswers(Time now) {
    const std::uint64_t dropped = line.droppedAnswers();
    if (dropped == notedDrops || now < nextDropNote) return;
    console << boost::format("the host asks faster than the line answers: %1% answers dropped so far\n") % dropped;
    notedDrops = dropped;
    nextDropNote = now + dropNoteInterval;
}

std::optional<Time> BoardProgram::nextDue() const {
    std::optional<Time> due = schedule.nextDue();
    const auto consider = [&due](std::optional<Time> time) {
        if (time && (!due || *time < *due)) due = time;
    };
    consider(line.nextDue());
    if (line.droppedAnswers() != notedDrops) consider(nextDropNote);
    return due;
}

}  // namespace boardsim
