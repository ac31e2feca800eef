#include "game_record.h"

#include <draughts/fen.h>

namespace boardwatch {

GameRecord::GameRecord(const std::string& board, const Stamp& began, const draughts::Position& start, bool sideKnown)
    : begin(start), sideKnown(sideKnown), stamp(began), boardName(board) {
    // The seven tags every PDN reader expects, then the kind of game (20:
    // international draughts) and the board it was played on.
    game.tags = {{"Event", "?"}, {"Site", "?"},   {"Date", began.date},  {"Round", "?"},
                 {"White", "?"}, {"Black", "?"},  {"Result", "*"},       {"GameType", "20"},
                 {"Board", board}, {"Time", began.time}};
    game.result = "*";
}

void GameRecord::played(const std::string& notation, const draughts::Position& after) {
    if (game.moves.empty() && !sideKnown) {
        begin.setToMove(draughts::opponentOf(after.toMove()));
        sideKnown = true;
    }
    game.moves.push_back(notation);
}

void GameRecord::takeBack() {
    if (!game.moves.empty()) game.moves.pop_back();
    setResult("*");
}

void GameRecord::setResult(const std::string& result) {
    game.result = result;
    for (auto& tag : game.tags) {
        if (tag.first == "Result") tag.second = result;
    }
}

std::string GameRecord::pdn() const {
    draughts::PdnGame written = game;
    if (begin != draughts::Position::start()) {
        written.tags.emplace_back("SetUp", "1");
        written.tags.emplace_back("FEN", draughts::fenOf(begin));
        written.start = begin;
    }
    return draughts::writePdn(written);
}

}  // namespace boardwatch
