// One board as boardwatch keeps it: the relay's lines in; the game, its PDN
// text, its result and the clock out.
#include "watched_board.h"

#include <draughts/fen.h>
#include <gtest/gtest.h>

namespace boardwatch {
namespace {

const Stamp began{"2026.12.09", "14:03:22"};

std::string lettersOf(const std::string& fen) {
    std::string error, letters;
    const draughts::Position position = *draughts::parseFen(fen, error);
    for (int square = 1; square <= draughts::squareCount; ++square) letters += draughts::letterOf(position.at(square));
    return letters;
}

WatchedBoard::Changes feed(WatchedBoard& board, const std::vector<std::string>& lines) {
    WatchedBoard::Changes all;
    for (const std::string& line : lines) {
        const WatchedBoard::Changes changes = board.relayLine(readRelayLine(line), began);
        all.view = all.view || changes.view;
        all.movesAdded += changes.movesAdded;
        all.game = all.game || changes.game;
        all.notes.insert(all.notes.end(), changes.notes.begin(), changes.notes.end());
    }
    return all;
}

TEST(WatchedBoard, AGameTakenUpInTheMiddleIsWrittenFromItsPositionWithItsResult) {
    WatchedBoard board("hall-3:50000/COM3");
    feed(board, {lettersOf("W:W32:B19,23")});
    const WatchedBoard::Changes changes = feed(board, {"019.", "024p", "032.", "028P"});
    EXPECT_EQ(changes.movesAdded, 2u);
    EXPECT_EQ(changes.notes, (std::vector<std::string>{"1... 19-24", "2. 32-28"}));
    ASSERT_TRUE(board.game());
    EXPECT_EQ(draughts::fenOf(board.game()->start()), "B:W32:B19,23");
    EXPECT_EQ(board.game()->moves(), (std::vector<std::string>{"19-24", "32-28"}));
}

TEST(WatchedBoard, TheSideLeftWithoutAMoveLosesAndATakeBackUndoesTheResult) {
    WatchedBoard board("hall-3:50000/COM3");
    feed(board, {lettersOf("W:W28:B23")});
    const WatchedBoard::Changes won = feed(board, {"028.", "023.", "019P"});
    EXPECT_EQ(won.notes.back(), "result 2-0");
    const std::string pdn = board.game()->pdn();
    for (const char* part : {"[Result \"2-0\"]", "[GameType \"20\"]", "[Board \"hall-3:50000/COM3\"]",
                             "[Date \"2026.12.09\"]", "[FEN \"W:W28:B23\"]", "28x19 2-0"}) {
        EXPECT_NE(pdn.find(part), std::string::npos) << part << " in\n" << pdn;
    }
    const WatchedBoard::Changes undone = feed(board, {"019.", "023p", "028P"});
    EXPECT_TRUE(undone.view);
    EXPECT_TRUE(board.game()->moves().empty());
    EXPECT_EQ(board.game()->result(), "*");
}

TEST(WatchedBoard, KeepsTheClockWhileFollowingOnly) {
    WatchedBoard board("b:1/COM1");
    EXPECT_TRUE(board.relayLine(readRelayLine("01:29:58 - 01:30:00"), began).clock);
    ASSERT_TRUE(board.clock());
    EXPECT_EQ(board.clock()->white, "01:29:58");
    EXPECT_EQ(board.clock()->black, "01:30:00");
    EXPECT_FALSE(board.relayLine(readRelayLine("01:29:58 - 01:30:00"), began).clock);
    EXPECT_TRUE(board.linkChanged(LinkState::BoardLost, "ERROR: 255 : 002 ...").clock);
    EXPECT_FALSE(board.clock());
}

}  // namespace
}  // namespace boardwatch
