#ifndef BOARDWATCH_WATCHED_BOARD_H
#define BOARDWATCH_WATCHED_BOARD_H

// One board as boardwatch follows it, without I/O: the relay's lines and
// the link's changes go in; the game, the clock and what changed come out.

#include <draughts/move_tracker.h>

#include <optional>
#include <string>
#include <vector>

#include "game_record.h"
#include "relay_line.h"
#include "relay_session.h"

namespace boardwatch {

struct ClockTimes {
    std::string white;  // "01:29:58", or "--:--:--" when the clock has none
    std::string black;
};

class WatchedBoard {
public:
    explicit WatchedBoard(std::string name);

    // What a change touched: the board as the page shows it (view), or
    // only moves added to the game (movesAdded, the usual case, which the
    // page is told in few bytes), the clock, the game's file.
    struct Changes {
        bool view = false;
        std::size_t movesAdded = 0;
        bool clock = false;
        bool game = false;
        std::vector<std::string> notes;  // for the console: "12. 32-28", "new game", ...
    };

    Changes relayLine(const RelayLine& line, const Stamp& now);
    Changes linkChanged(LinkState state, const std::string& detail);

    const std::string& name() const { return boardName; }
    LinkState link() const { return linkState; }
    const std::string& linkDetail() const { return detail; }
    const draughts::MoveTracker& tracker() const { return moves; }
    // The game being played, once the board has shown one.
    const std::optional<GameRecord>& game() const { return record; }
    GameRecord* gameToWrite() { return record ? &*record : nullptr; }
    // How many games the board has begun: the game's number, once it has one.
    std::size_t gamesBegun() const { return begun; }
    const std::optional<ClockTimes>& clock() const { return times; }

private:
    void apply(const std::vector<draughts::TrackerEvent>& events, const Stamp& now, Changes& changes);

    std::string boardName;
    LinkState linkState = LinkState::Connecting;
    std::string detail;
    draughts::MoveTracker moves;
    std::optional<GameRecord> record;
    std::size_t begun = 0;
    std::optional<ClockTimes> times;
};

}  // namespace boardwatch

#endif
