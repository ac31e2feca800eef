#ifndef BOARDSIM_BOARD_PLAN_H
#define BOARDSIM_BOARD_PLAN_H

// Turns commands into the board's actions, each checked against the board as
// the commands before it leave it, so that a command that cannot be carried
// out is refused when it is given, not when its turn comes.

#include <chrono>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "board_actions.h"
#include "console_command.h"

namespace boardsim {

class BoardPlan {
public:
    // pace: the time between two changes a person's hands make; a move
    // starts three times that after what came before, as a person looks
    // first.
    BoardPlan(const Position& start, draughts::Rules rules, std::chrono::milliseconds pace);

    // Moves already checked (a game).
    std::vector<Action> play(const std::vector<Move>& moves);
    // Empty, with error, for a command refused; it then changes nothing.
    // Board and Quit become actions too, for scripts; Help does not.
    std::optional<std::vector<Action>> plan(const ConsoleCommand& command, std::string& error);

    // The position once every action planned so far is done.
    const Position& position() const { return planned; }

private:
    std::vector<Action> changes(const std::vector<FieldChange>& changes, std::chrono::milliseconds each) const;
    std::optional<std::vector<Action>> moves(const std::string& text, std::string& error);
    std::vector<Action> setUp(const Position& target);

    Position planned;
    std::deque<Position> beforeMoves;  // for taking moves back, as many as the board keeps
    bool cableIn = true;
    draughts::Rules rules;
    std::chrono::milliseconds pace;
};

}  // namespace boardsim

#endif
