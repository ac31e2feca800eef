#ifndef BOARDWATCH_STATE_JSON_H
#define BOARDWATCH_STATE_JSON_H

// The boards as JSON, for /state.json and the page's events.

#include <nlohmann/json.hpp>
#include <vector>

#include "watched_board.h"

namespace boardwatch {

// {"id" (its place in the list), "number" (the board's in the hall),
// "white", "black", "relay", "link", "linkDetail", "status", "position" (FEN), "board" (50
// letters), "start" (FEN), "moves", "result", "clock", "file"}
nlohmann::json boardJson(const WatchedBoard& board, std::size_t id);
// The moves just added: {"id", "added" (the last `added` moves), "count"
// (the game's moves in all), "position", "board", "result", "status"}.
nlohmann::json movesJson(const WatchedBoard& board, std::size_t id, std::size_t added);
// {"id", "white", "black"}, or white and black null without a clock.
nlohmann::json clockJson(const WatchedBoard& board, std::size_t id);
// {"round": {"event", "site", "date", "round"}, "boards": [...]}
nlohmann::json stateJson(const std::vector<WatchedBoard>& boards);

// JSON as text. Every text in it is valid UTF-8 already (a relay's lines
// are made so as they are read); should one not be, its bad bytes are
// replaced rather than thrown over.
std::string jsonText(const nlohmann::json& json, int indent = -1);

// What a board's change tells the page's viewers: a "board" event for a
// change of what the page shows of it, "moves" for moves added only, and
// "clock" for the clock alone.
struct PageEvent {
    std::string name;
    std::string data;  // JSON on one line
};
std::vector<PageEvent> pageEventsOf(const WatchedBoard& board, std::size_t id, const WatchedBoard::Changes& changes);

}  // namespace boardwatch

#endif
