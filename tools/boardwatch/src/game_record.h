#ifndef BOARDWATCH_GAME_RECORD_H
#define BOARDWATCH_GAME_RECORD_H

// One game on one board as it is played: its tags, start, moves and
// result, and its text as a PDN game of international draughts.

#include <draughts/pdn.h>
#include <draughts/position.h>

#include <optional>
#include <string>
#include <vector>

namespace boardwatch {

// When a game began, in the forms PDN and file names use.
struct Stamp {
    std::string date;  // "2024.05.01"
    std::string time;  // "14:03:22"
};

// The round's tags, as the organiser gave them; "?" for one not given.
struct RoundTags {
    std::string event = "?";
    std::string site = "?";
    std::string date;  // "2026.12.09"; empty: the day each game began
    std::string round = "?";
};

// A board of the hall: its number and who plays on it.
struct BoardLabel {
    int number = 0;
    std::string white = "?";
    std::string black = "?";
};

// The results a game can have: "*" while it goes on.
bool isResult(const std::string& text);

class GameRecord {
public:
    // sideKnown false: a game taken up in the middle, whose side to move the
    // first move shows.
    GameRecord(const RoundTags& round, const BoardLabel& board, const Stamp& began, const draughts::Position& start,
               bool sideKnown);
    // A game read back from its file: empty, with error saying why, when its
    // moves do not play from its start.
    static std::optional<GameRecord> readBack(draughts::PdnGame game, std::string fileName, std::string& error);

    // after: the position the move left, whose side to move is the other.
    void played(const std::string& notation, const draughts::Position& after);
    // before: the position again before the move.
    void takeBack(const draughts::Position& before);
    // "2-0", "1-1", "0-2", or "*" while the game goes on; decided: the
    // arbiter's word, which the board's moves no longer change.
    void setResult(const std::string& result, bool decided = false);

    const std::vector<std::string>& moves() const { return game.moves; }
    const std::string& result() const { return game.result; }
    bool decided() const { return arbiters; }
    // The start with its side to move, once known.
    const draughts::Position& start() const { return begin; }
    // Where the last move left the game.
    const draughts::Position& end() const { return last; }
    const Stamp& began() const { return stamp; }
    std::string tag(const std::string& name) const { return draughts::tagOf(game, name); }
    std::string pdn() const;

    // The file the game is written to, once it has one.
    std::string fileName;

private:
    GameRecord() = default;

    draughts::PdnGame game;
    draughts::Position begin;
    draughts::Position last;
    bool sideKnown = true;
    bool arbiters = false;
    Stamp stamp;
};

}  // namespace boardwatch

#endif
