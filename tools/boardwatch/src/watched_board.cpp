#include "watched_board.h"

#include <boost/format.hpp>

namespace boardwatch {

namespace {

std::string numbered(const GameRecord& game, const std::string& notation) {
    // Black's moves carry the number of white's move before them.
    const bool blackFirst = game.start().toMove() == draughts::Side::Black;
    const std::size_t index = game.moves().size() - 1 + (blackFirst ? 1 : 0);
    return (boost::format(index % 2 == 0 ? "%1%. %2%" : "%1%... %2%") % (index / 2 + 1) % notation).str();
}

bool worthKeeping(const GameRecord& game) { return !game.moves().empty() || game.result() != "*"; }

}  // namespace

WatchedBoard::WatchedBoard(std::string name, BoardLabel label, RoundTags round)
    : boardName(std::move(name)), boardLabel(std::move(label)), roundTags(std::move(round)) {}

void WatchedBoard::takeUpFrom(std::vector<GameRecord> games) {
    if (games.empty()) return;
    record = std::move(games.back());
    games.pop_back();
    for (GameRecord& game : games) earlier.push_back(std::move(game));
    while (earlier.size() > gamesKept) earlier.pop_front();
    resumable = awaitingBoard = true;
    ++begun;
}

WatchedBoard::Changes WatchedBoard::linkChanged(LinkState state, const std::string& why) {
    Changes changes;
    changes.view = state != linkState || why != detail;
    if (state != linkState) changes.notes.push_back(nameOf(state) + (why.empty() ? "" : ": " + why));
    linkState = state;
    detail = why;
    // Times from a board that is not following are old.
    if (state != LinkState::Following && times) {
        times.reset();
        changes.clock = true;
    }
    return changes;
}

WatchedBoard::Changes WatchedBoard::relayLine(const RelayLine& line, const Stamp& now) {
    using Kind = RelayLine::Kind;
    Changes changes;
    if (line.kind == Kind::BoardDump) {
        apply(moves.boardDump(line.text), now, changes);
    } else if (line.kind == Kind::SquareChange) {
        apply(moves.squareChange(line.square, line.piece), now, changes);
    } else if (line.kind == Kind::ClockTimes) {
        // Both times, white's first, as the board's clock sends them.
        const ClockTimes read{line.text.substr(0, 8), line.text.substr(11, 8)};
        if (!times || times->white != read.white || times->black != read.black) {
            times = read;
            changes.clock = true;
        }
    }
    return changes;
}

void WatchedBoard::retire() {
    if (record && worthKeeping(*record)) earlier.push_back(std::move(*record));
    record.reset();
    while (earlier.size() > gamesKept) earlier.pop_front();
}

void WatchedBoard::begin(const draughts::TrackerEvent& event, const Stamp& now, Changes& changes) {
    using Kind = draughts::TrackerEvent::Kind;
    if (event.kind == Kind::Joined && resumable) {
        // The game from the file, where the board shows its position.
        GameRecord* candidate = awaitingBoard ? &*record : earlier.empty() ? nullptr : &earlier.back();
        if (candidate && moves.takeUp(candidate->end())) {
            if (!awaitingBoard) {
                record = std::move(earlier.back());
                earlier.pop_back();
            }
            awaitingBoard = false;
            changes.notes.push_back((boost::format("game taken up where its file ends, after %1% moves") %
                                     record->moves().size())
                                        .str());
            return;
        }
    }
    retire();
    awaitingBoard = false;
    resumable = resumable && event.kind == Kind::Joined;
    record.emplace(roundTags, boardLabel, now, event.position, event.kind == Kind::NewGame);
    ++begun;
    changes.notes.push_back(event.kind == Kind::NewGame ? "new game" : "game taken up in the middle");
}

void WatchedBoard::apply(const std::vector<draughts::TrackerEvent>& events, const Stamp& now, Changes& changes) {
    using Kind = draughts::TrackerEvent::Kind;
    for (const draughts::TrackerEvent& event : events) {
        changes.view = changes.view || event.kind != Kind::Move;
        switch (event.kind) {
            case Kind::NewGame:
            case Kind::Joined:
                begin(event, now, changes);
                break;
            case Kind::Move:
                resumable = false;
                if (!record || awaitingBoard) break;
                if (record->decided()) {
                    changes.notes.push_back(event.notation + " after the result: not in the game");
                    changes.view = true;
                    break;
                }
                record->played(event.notation, event.position);
                changes.notes.push_back(numbered(*record, event.notation));
                changes.game = true;
                ++changes.movesAdded;
                break;
            case Kind::TakeBack:
                if (!record || awaitingBoard || record->decided()) break;
                record->takeBack(event.position);
                changes.notes.push_back("took back " + event.notation);
                changes.game = true;
                break;
            case Kind::Unrecognised:
                changes.notes.push_back("the board shows a position no legal move reaches; waiting for it to come back");
                break;
            case Kind::Resumed:
                changes.notes.push_back("the board is back at the last known position");
                break;
        }
    }
    if (changes.game) judgeResult(changes);
}

void WatchedBoard::judgeResult(Changes& changes) {
    if (!record || record->decided()) return;
    const std::optional<draughts::Side> loser = moves.sideWithoutMoves();
    const std::string result = !loser ? "*" : *loser == draughts::Side::White ? "0-2" : "2-0";
    if (result == record->result()) return;
    record->setResult(result);
    changes.game = true;
    if (result != "*") changes.notes.push_back("result " + result);
}

WatchedBoard::Changes WatchedBoard::enterResult(const std::string& result, const Stamp& now, std::string& refusal) {
    Changes changes;
    if (!isResult(result)) {
        refusal = "'" + result + "' is no result: 2-0, 1-1, 0-2, or * for none";
        return changes;
    }
    if (!record) {
        if (result == "*") {
            refusal = "no game on the board yet: there is no result to take back";
            return changes;
        }
        // Not played on the board: from the start, without a move.
        record.emplace(roundTags, boardLabel, now, draughts::Position::start(), true);
        ++begun;
        resumable = false;
    }
    const bool onBoard = !awaitingBoard && moves.status() != draughts::MoveTracker::Status::NoBoard;
    if (result == "*" && record->decided() && onBoard && moves.position() != record->end()) {
        refusal = "the board has moved on from the game's last position; set it back there first";
        return changes;
    }
    record->setResult(result, result != "*");
    if (result == "*" && onBoard) judgeResult(changes);
    changes.view = changes.game = true;
    changes.notes.push_back("result " + record->result() + ", as the arbiter entered it");
    return changes;
}

}  // namespace boardwatch
