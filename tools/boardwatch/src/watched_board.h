#ifndef BOARDWATCH_WATCHED_BOARD_H
#define BOARDWATCH_WATCHED_BOARD_H

// One board as boardwatch follows it, without I/O: the relay's lines, the
// link's changes and the arbiter's results go in; the game, the games
// before it, the clock and what changed come out.

#include <draughts/move_tracker.h>

#include <deque>
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
    // Games before the one on the board, kept for the round's PDN: a round
    // has one game a board, or a few when a board is set up again.
    static constexpr std::size_t gamesKept = 16;

    // name: the relay's address as written, which the board is known by on
    // the console and the page.
    WatchedBoard(std::string name, BoardLabel label, RoundTags round);

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
    // The games this board's files hold from an earlier run, oldest first.
    // The last is the board's game again, its moves shown at once, and goes
    // on in its file once the board shows its position; a new game, or a
    // move from another position, leaves it as it is.
    void takeUpFrom(std::vector<GameRecord> games);
    // The arbiter's result ("2-0", "1-1", "0-2"; "*" takes it back) for the
    // game on the board; for a board that has shown no game, the result of
    // a game not played there (a forfeit). Empty refusal, or why not.
    Changes enterResult(const std::string& result, const Stamp& now, std::string& refusal);

    const std::string& name() const { return boardName; }
    const BoardLabel& label() const { return boardLabel; }
    const RoundTags& round() const { return roundTags; }
    LinkState link() const { return linkState; }
    const std::string& linkDetail() const { return detail; }
    const draughts::MoveTracker& tracker() const { return moves; }
    // The game being played, once the board has shown one, or the game
    // taken up from its file.
    const std::optional<GameRecord>& game() const { return record; }
    GameRecord* gameToWrite() { return record ? &*record : nullptr; }
    // The games before it with a move or a result, oldest first.
    const std::deque<GameRecord>& earlierGames() const { return earlier; }
    // How many games the board has begun: the game's number, once it has one.
    std::size_t gamesBegun() const { return begun; }
    const std::optional<ClockTimes>& clock() const { return times; }

private:
    void apply(const std::vector<draughts::TrackerEvent>& events, const Stamp& now, Changes& changes);
    void begin(const draughts::TrackerEvent& event, const Stamp& now, Changes& changes);
    // The board's own result: the side to move without a move loses.
    void judgeResult(Changes& changes);
    void retire();

    std::string boardName;
    BoardLabel boardLabel;
    RoundTags roundTags;
    LinkState linkState = LinkState::Connecting;
    std::string detail;
    draughts::MoveTracker moves;
    std::optional<GameRecord> record;
    std::deque<GameRecord> earlier;
    // The game read back from its file may be taken up: the board has shown
    // no new game and no move yet.
    bool resumable = false;
    // The game on the board is the one from the file, until the board shows it.
    bool awaitingBoard = false;
    std::size_t begun = 0;
    std::optional<ClockTimes> times;
};

}  // namespace boardwatch

#endif
