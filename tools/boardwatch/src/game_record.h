#ifndef BOARDWATCH_GAME_RECORD_H
#define BOARDWATCH_GAME_RECORD_H

// One game on one board as it is played: its tags, start, moves and
// result, and its text as a PDN game of international draughts.

#include <draughts/pdn.h>
#include <draughts/position.h>

#include <string>
#include <vector>

namespace boardwatch {

// When a game began, in the forms PDN and file names use.
struct Stamp {
    std::string date;  // "2024.05.01"
    std::string time;  // "14:03:22"
};

class GameRecord {
public:
    // sideKnown false: a game taken up in the middle, whose side to move the
    // first move shows.
    GameRecord(const std::string& board, const Stamp& began, const draughts::Position& start, bool sideKnown);

    // after: the position the move left, whose side to move is the other.
    void played(const std::string& notation, const draughts::Position& after);
    void takeBack();
    // "2-0", "0-2", or "*" while the game goes on.
    void setResult(const std::string& result);

    const std::vector<std::string>& moves() const { return game.moves; }
    const std::string& result() const { return game.result; }
    // The start with its side to move, once known.
    const draughts::Position& start() const { return begin; }
    const Stamp& began() const { return stamp; }
    const std::string& board() const { return boardName; }
    std::string pdn() const;

    // The file the game is written to, once it has one.
    std::string fileName;

private:
    draughts::PdnGame game;
    draughts::Position begin;
    bool sideKnown;
    Stamp stamp;
    std::string boardName;
};

}  // namespace boardwatch

#endif
