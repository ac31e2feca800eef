#include "draughts/move_tracker.h"

#include <algorithm>

#include "draughts/notation.h"

namespace draughts {

namespace {

bool samePieces(const Position& a, const Position& b) {
    for (int square = 1; square <= squareCount; ++square) {
        if (a.at(square) != b.at(square)) return false;
    }
    return true;
}

// A man on the far row can only be a king not crowned yet: the board shows
// a promotion as the man first, and a person may crown it late or never.
Piece crowned(Piece piece, int square) {
    if (piece == Piece::WhiteMan && square <= 5) return Piece::WhiteKing;
    if (piece == Piece::BlackMan && square > squareCount - 5) return Piece::BlackKing;
    return piece;
}

Position crowned(const Position& board) {
    Position game = board;
    for (int square = 1; square <= squareCount; ++square) game.put(square, crowned(board.at(square), square));
    return game;
}

// Squares on which the board shows a piece the position has not there.
std::vector<int> putSquares(const Position& board, const Position& game) {
    std::vector<int> put;
    for (int square = 1; square <= squareCount; ++square) {
        if (board.at(square) != Piece::None && board.at(square) != game.at(square)) put.push_back(square);
    }
    return put;
}

}  // namespace

MoveTracker::MoveTracker(Rules rules) : rules(rules) {}

std::vector<TrackerEvent> MoveTracker::boardDump(const std::string& letters) {
    if (letters.size() != squareCount) return {};
    for (int square = 1; square <= squareCount; ++square) {
        const std::optional<Piece> piece = pieceOfLetter(letters[square - 1]);
        board.put(square, piece.value_or(Piece::None));
        strange[square] = !piece;
    }
    seen = true;
    return judge();
}

std::vector<TrackerEvent> MoveTracker::squareChange(int square, char letter) {
    if (!seen || square < 1 || square > squareCount) return {};
    const std::optional<Piece> piece = pieceOfLetter(letter);
    board.put(square, piece.value_or(Piece::None));
    strange[square] = !piece;
    return judge();
}

void MoveTracker::follow(const Position& game) {
    setKnown(crowned(game), true);
    settled = true;
    last.reset();
    // Until the next dump says otherwise.
    state = Status::InPosition;
}

std::vector<MoveTracker::Reachable> MoveTracker::reachableFrom(const Position& position, bool sideIsKnown) const {
    std::vector<Reachable> reachable;
    std::vector<Side> sides{position.toMove()};
    if (!sideIsKnown) sides = {Side::White, Side::Black};
    for (Side side : sides) {
        Position before = position;
        before.setToMove(side);
        for (Move& move : legalMoves(before, rules)) {
            Position after = afterMove(before, move);
            reachable.push_back({std::move(move), std::move(after)});
        }
    }
    return reachable;
}

std::optional<Side> MoveTracker::sideWithoutMoves() const {
    if (!settled || !knownSide || !fromKnown.empty()) return std::nullopt;
    return known.toMove();
}

void MoveTracker::setKnown(const Position& position, bool sideIsKnown) {
    known = position;
    knownSide = sideIsKnown;
    fromKnown = reachableFrom(known, knownSide);
}

bool MoveTracker::takeUp(const Position& position) {
    if (!seen || strange.any() || !samePieces(crowned(board), position)) return false;
    follow(position);
    return true;
}

TrackerEvent MoveTracker::event(TrackerEvent::Kind kind) const { return TrackerEvent{kind, {}, {}, known}; }

// By value: the move may be one of the lists this replaces.
std::vector<TrackerEvent> MoveTracker::moveTo(Reachable reached) {
    Position before = known;
    before.setToMove(sideOf(known.at(reached.move.from)).value_or(known.toMove()));
    last = Played{before, reached, reachableFrom(before, true)};
    setKnown(reached.after, true);
    settled = true;
    state = Status::InPosition;
    TrackerEvent played = event(TrackerEvent::Kind::Move);
    played.move = reached.move;
    played.notation = notationOf(before, reached.move, rules);
    return {played};
}

// Pieces lifted anywhere, and at most one piece put where a move the
// position allows passes or ends, or back where it stood before the last
// move (a move being undone or corrected).
bool MoveTracker::underway(const Position& shown) const {
    const std::vector<int> put = putSquares(shown, known);
    if (put.empty()) return true;
    if (last && std::all_of(put.begin(), put.end(), [&](int square) { return shown.at(square) == last->before.at(square); }))
        return true;
    if (put.size() > 1) return false;
    const int square = put.front();
    const auto passes = [&](const Position& from, const std::vector<Reachable>& moves) {
        return std::any_of(moves.begin(), moves.end(), [&](const Reachable& reachable) {
            const std::vector<int>& path = reachable.move.path;
            return std::find(path.begin(), path.end(), square) != path.end() &&
                   crowned(from.at(reachable.move.from), square) == shown.at(square);
        });
    };
    return passes(known, fromKnown) || (last && passes(last->before, last->alternatives));
}

std::vector<TrackerEvent> MoveTracker::judge() {
    using Kind = TrackerEvent::Kind;
    const Position shown = crowned(board);
    const bool readable = strange.none();
    // Back at the start is a new game, unless it undoes the first move.
    const bool undoesLast = last && samePieces(shown, last->before);
    if (readable && samePieces(shown, Position::start()) && !(settled && samePieces(known, shown)) && !undoesLast) {
        setKnown(Position::start(), true);
        settled = true;
        last.reset();
        state = Status::InPosition;
        return {event(Kind::NewGame)};
    }
    if (readable && state != Status::NoBoard) {
        if (samePieces(shown, known)) {
            const bool resumed = state == Status::Unrecognised;
            state = Status::InPosition;
            return resumed ? std::vector<TrackerEvent>{event(Kind::Resumed)} : std::vector<TrackerEvent>{};
        }
        for (const Reachable& reachable : fromKnown) {
            if (samePieces(shown, reachable.after)) return moveTo(reachable);
        }
        if (last) {
            TrackerEvent undone = event(Kind::TakeBack);
            undone.move = last->move.move;
            undone.notation = notationOf(last->before, last->move.move, rules);
            if (samePieces(shown, last->before)) {
                setKnown(last->before, true);
                last.reset();
                state = Status::InPosition;
                undone.position = known;
                return {undone};
            }
            for (const Reachable& other : last->alternatives) {
                if (other.move == last->move.move || !samePieces(shown, other.after)) continue;
                const Played corrected = *last;
                setKnown(corrected.before, true);
                undone.position = known;
                std::vector<TrackerEvent> events{undone};
                for (TrackerEvent& played : moveTo(other)) events.push_back(played);
                return events;
            }
        }
        if (underway(shown)) {
            if (state != Status::Unrecognised) state = Status::MoveUnderway;
            return {};
        }
    }
    // Until a move shows the game, whatever the board shows is the game.
    if (readable && !settled) {
        Position taken = shown;
        taken.setToMove(Side::White);
        setKnown(taken, false);
        state = Status::InPosition;
        return {event(Kind::Joined)};
    }
    if (state == Status::Unrecognised) return {};
    state = Status::Unrecognised;
    return {event(Kind::Unrecognised)};
}

}  // namespace draughts
