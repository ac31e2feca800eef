#ifndef BOARDWATCH_PDN_WRITER_H
#define BOARDWATCH_PDN_WRITER_H

// The games' PDN files, one a board and game in the folder given, opened
// and written on a thread of their own: a disk that stalls (a network share
// that hangs) or fails (a full disk) never holds up the boards or the page.
//
// The boards hand over each game's text as it stands after every change;
// the writer brings the game's file to that text by writing from the first
// byte where they differ. For a move that is the end of the movetext: the
// file grows by appending, and only the "*" that closes the movetext is
// written over. A result, a tag or a move taken back costs one write from
// that place on, so a game's file may carry more tags as they become known.
// A write that fails is tried again every second until the file holds the
// whole game; the console hears of it once when it fails and once when the
// file is whole again. What waits is one text a game whose file is behind,
// whatever the disk does.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "console.h"
#include "game_record.h"

namespace boardwatch {

class PdnWriter {
public:
    using GameId = std::uint64_t;
    // Told on the writer's thread of each file it makes, until finish().
    using FileMade = std::function<void(GameId game, const std::string& fileName)>;

    static constexpr std::chrono::seconds retryInterval{1};
    // The time a writer gets at exit.
    static constexpr std::chrono::milliseconds finishPatience{2000};

    PdnWriter(std::string folder, Console& console, FileMade fileMade);
    // finish(), unless it was called.
    ~PdnWriter();
    PdnWriter(const PdnWriter&) = delete;
    PdnWriter& operator=(const PdnWriter&) = delete;

    // The game's text as it stands, and its moves in all (for the console).
    // Its file is made the first time: baseName + ".pdn", or "-2.pdn" and so
    // on when that name is taken; fileName, when given, is the file of a
    // game taken up from an earlier run, which is written over. Never waits
    // for the disk.
    void write(GameId game, const std::string& baseName, const std::string& fileName, std::string text,
               std::size_t moves);
    // The game is over: its file is let go once it holds the whole game.
    void close(GameId game);
    // Takes no more texts, and gives the disk at most patience to take what
    // waits (one more try for a file that failed). A writer stalled beyond
    // that is left to itself, and says nothing more. The number of files
    // that are not whole.
    std::size_t finish(std::chrono::milliseconds patience = finishPatience);

private:
    struct State;
    std::shared_ptr<State> state;
    bool finished = false;
};

}  // namespace boardwatch

#endif
