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

}  // namespace

WatchedBoard::WatchedBoard(std::string name) : boardName(std::move(name)) {}

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

void WatchedBoard::apply(const std::vector<draughts::TrackerEvent>& events, const Stamp& now, Changes& changes) {
    using Kind = draughts::TrackerEvent::Kind;
    for (const draughts::TrackerEvent& event : events) {
        changes.view = changes.view || event.kind != Kind::Move;
        switch (event.kind) {
            case Kind::NewGame:
            case Kind::Joined:
                record.emplace(boardName, now, event.position, event.kind == Kind::NewGame);
                ++begun;
                changes.notes.push_back(event.kind == Kind::NewGame ? "new game" : "game taken up in the middle");
                break;
            case Kind::Move:
                if (!record) break;
                record->played(event.notation, event.position);
                changes.notes.push_back(numbered(*record, event.notation));
                changes.game = true;
                ++changes.movesAdded;
                break;
            case Kind::TakeBack:
                if (!record) break;
                record->takeBack();
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
    if (record && changes.game) {
        const std::optional<draughts::Side> loser = moves.sideWithoutMoves();
        const std::string result = !loser ? "*" : *loser == draughts::Side::White ? "0-2" : "2-0";
        if (result != record->result()) {
            record->setResult(result);
            if (result != "*") changes.notes.push_back("result " + result);
        }
    }
}

}  // namespace boardwatch
