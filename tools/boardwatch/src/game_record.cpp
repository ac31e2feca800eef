#include "game_record.h"

#include <draughts/fen.h>
#include <draughts/notation.h>

#include <algorithm>
#include <boost/algorithm/string/predicate.hpp>

namespace boardwatch {

bool isResult(const std::string& text) { return text == "2-0" || text == "1-1" || text == "0-2" || text == "*"; }

GameRecord::GameRecord(const RoundTags& round, const BoardLabel& board, const Stamp& began,
                       const draughts::Position& start, bool sideKnown)
    : begin(start), last(start), sideKnown(sideKnown), stamp(began) {
    // The seven tags every PDN reader expects, then the kind of game (20:
    // international draughts), the board it was played on and when it began.
    game.tags = {{"Event", round.event},
                 {"Site", round.site},
                 {"Date", round.date.empty() ? began.date : round.date},
                 {"Round", round.round},
                 {"White", board.white},
                 {"Black", board.black},
                 {"Result", "*"},
                 {"GameType", "20"},
                 {"Board", std::to_string(board.number)},
                 {"Time", began.time}};
    game.result = "*";
}

std::optional<GameRecord> GameRecord::readBack(draughts::PdnGame read, std::string fileName, std::string& error) {
    GameRecord record;
    record.begin = draughts::startOf(read);
    const draughts::GameCheck check = draughts::checkGame(record.begin, read.moves);
    if (!check.error.empty()) {
        error = check.error;
        return std::nullopt;
    }
    record.last = check.end;
    // A result other than the board's own came from the arbiter.
    const bool noMoveLeft = draughts::legalMoves(check.end).empty();
    if (read.result.empty()) read.result = "*";
    if (!isResult(read.result)) {
        error = "its result " + read.result + " is none of 2-0, 1-1, 0-2 and *";
        return std::nullopt;
    }
    record.arbiters = read.result != "*" && !noMoveLeft;
    record.stamp = {draughts::tagOf(read, "Date"), draughts::tagOf(read, "Time")};
    // Written again as it was written: the FEN comes from the start.
    read.tags.erase(std::remove_if(read.tags.begin(), read.tags.end(),
                                   [](const auto& tag) {
                                       return boost::iequals(tag.first, "SetUp") || boost::iequals(tag.first, "FEN");
                                   }),
                    read.tags.end());
    read.start.reset();
    record.game = std::move(read);
    record.fileName = std::move(fileName);
    return record;
}

void GameRecord::played(const std::string& notation, const draughts::Position& after) {
    if (game.moves.empty() && !sideKnown) {
        begin.setToMove(draughts::opponentOf(after.toMove()));
        sideKnown = true;
    }
    game.moves.push_back(notation);
    last = after;
}

void GameRecord::takeBack(const draughts::Position& before) {
    if (!game.moves.empty()) game.moves.pop_back();
    last = before;
    setResult("*");
}

void GameRecord::setResult(const std::string& result, bool decided) {
    game.result = result;
    arbiters = decided;
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
