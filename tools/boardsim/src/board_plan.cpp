#include "board_plan.h"

#include <boost/format.hpp>

#include "draughts/fen.h"
#include "draughts/move_tracker.h"
#include "draughts/pdn.h"
#include "simulated_board.h"

namespace boardsim {

namespace {

using Kind = ConsoleCommand::Kind;
using std::chrono::milliseconds;

std::optional<std::vector<Action>> refused(std::string& error, std::string reason) {
    error = std::move(reason);
    return std::nullopt;
}

template <typename Kind>
std::vector<Action> one(Kind what, milliseconds delay = milliseconds(0)) {
    std::vector<Action> actions;
    actions.emplace_back(delay, std::move(what));
    return actions;
}

}  // namespace

BoardPlan::BoardPlan(const Position& start, draughts::Rules rules, milliseconds pace)
    : planned(start), game(start), rules(rules), pace(pace) {}

void BoardPlan::moved(const Position& before, const Position& after) {
    beforeMoves.push_back(before);
    if (beforeMoves.size() > SimulatedBoard::movesKept) beforeMoves.pop_front();
    game = after;
}

std::vector<Action> BoardPlan::byHand(const FieldChange& change) {
    planned.put(change.square, change.piece);
    std::vector<Action> actions = one(change, pace);
    // The tracker judges the pieces as a whole, so any order of the hands
    // makes the move: the captured pieces lifted first or last, a man
    // crowned at once or later.
    draughts::MoveTracker tracker(rules);
    tracker.follow(game);
    std::string letters;
    for (int square = 1; square <= squareCount; ++square) letters += draughts::letterOf(planned.at(square));
    for (const draughts::TrackerEvent& event : tracker.boardDump(letters)) {
        if (event.kind != draughts::TrackerEvent::Kind::Move) continue;
        actions.emplace_back(milliseconds(0), MoveMade{event.move, event.notation});
        moved(game, event.position);
        planned.setToMove(game.toMove());
    }
    return actions;
}

std::vector<Action> BoardPlan::changes(const std::vector<FieldChange>& made, milliseconds each) const {
    std::vector<Action> actions;
    for (const FieldChange& change : made) actions.emplace_back(each, change);
    return actions;
}

std::vector<Action> BoardPlan::play(const std::vector<Move>& moves) {
    std::vector<Action> actions;
    for (const Move& move : moves) {
        std::vector<Action> hands = changes(handlingOf(planned, move), pace);
        hands.front().delay = 3 * pace;
        actions.insert(actions.end(), hands.begin(), hands.end());
        actions.emplace_back(milliseconds(0), MoveMade{move, notationOf(planned, move, rules)});
        const Position before = planned;
        planned = afterMove(planned, move);
        moved(before, planned);
    }
    return actions;
}

std::optional<std::vector<Action>> BoardPlan::moves(const std::string& text, std::string& error) {
    // Typed as in a game file: move numbers and comments may come with them.
    draughts::PdnReader reader(text);
    const std::optional<draughts::PdnGame> game = reader.next();
    if (!reader.error().empty()) return refused(error, reader.reason());
    const draughts::GameCheck check = checkGame(planned, game ? game->moves : std::vector<std::string>{}, rules);
    if (!check.error.empty()) return refused(error, check.error);
    return play(check.moves);
}

std::vector<Action> BoardPlan::setUp(const Position& target) {
    std::vector<Action> actions = changes(changesBetween(planned, target), milliseconds(0));
    actions.emplace_back(milliseconds(0), PositionSetUp{target.toMove()});
    planned = target;
    game = target;
    beforeMoves.clear();
    return actions;
}

std::optional<std::vector<Action>> BoardPlan::plan(const ConsoleCommand& command, std::string& error) {
    switch (command.kind) {
        case Kind::Moves:
            return moves(command.text, error);
        case Kind::Lift:
            if (planned.at(command.square) == Piece::None) {
                return refused(error, (boost::format("square %1% is empty") % command.square).str());
            }
            return byHand(FieldChange{command.square, Piece::None, true});
        case Kind::Put:
            if (planned.at(command.square) == command.piece) {
                return refused(error, (boost::format("%1% is on square %2% already") %
                                       draughts::letterOf(command.piece) % command.square)
                                          .str());
            }
            return byHand(FieldChange{command.square, command.piece, true});
        case Kind::Position: {
            const std::optional<Position> target = draughts::parseFen(command.text, error);
            if (!target) return std::nullopt;
            return setUp(*target);
        }
        case Kind::Start:
            return setUp(Position::start());
        case Kind::Back: {
            if (beforeMoves.empty()) return refused(error, "no move to take back");
            const Position target = beforeMoves.back();
            beforeMoves.pop_back();
            std::vector<Action> actions = changes(changesBetween(planned, target), pace);
            actions.emplace_back(milliseconds(0), MoveTakenBack{target.toMove()});
            planned = target;
            game = target;
            return actions;
        }
        case Kind::Pull:
        case Kind::Plug: {
            const bool pull = command.kind == Kind::Pull;
            if (cableIn != pull) return refused(error, pull ? "the cable is out already" : "the cable is in already");
            cableIn = !pull;
            return one(pull ? LinkEvent::Pull : LinkEvent::Plug);
        }
        case Kind::Noise:
            return one(NoiseBurst{command.count});
        case Kind::Tear:
            return one(TearNextFrame{});
        case Kind::Key:
            return one(KeyPress{command.key});
        case Kind::Wait:
            return one(Pause{}, milliseconds(command.count));
        case Kind::Board:
            return one(ShowBoard{});
        case Kind::Quit:
            return one(LinkEvent::End);
        case Kind::Nothing:
            return std::vector<Action>{};
        case Kind::Help:
            break;
    }
    return refused(error, "help is for the console");
}

}  // namespace boardsim
