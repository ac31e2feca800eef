// One board as boardwatch keeps it: the relay's lines and the arbiter's
// results in; the game, its PDN text, its result, the games before it and
// the clock out. And the round's games as one PDN text.
#include "watched_board.h"

#include <draughts/fen.h>
#include <gtest/gtest.h>

#include "round_pdn.h"

namespace boardwatch {
namespace {

const Stamp began{"2026.12.09", "14:03:22"};
const RoundTags round{"Open", "Hall", "", "3"};

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

WatchedBoard hallBoard() { return WatchedBoard("hall-3:50000/COM3", {3, "Jansen", "de Vries"}, round); }

const std::string start = lettersOf("W:W31,32,33,34,35,36,37,38,39,40,41,42,43,44,45,46,47,48,49,50:"
                                    "B1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20");

TEST(WatchedBoard, AGameTakenUpInTheMiddleIsWrittenFromItsPositionWithItsResult) {
    WatchedBoard board = hallBoard();
    feed(board, {lettersOf("W:W32:B19,23")});
    const WatchedBoard::Changes changes = feed(board, {"019.", "024p", "032.", "028P"});
    EXPECT_EQ(changes.movesAdded, 2u);
    EXPECT_EQ(changes.notes, (std::vector<std::string>{"1... 19-24", "2. 32-28"}));
    ASSERT_TRUE(board.game());
    EXPECT_EQ(draughts::fenOf(board.game()->start()), "B:W32:B19,23");
    EXPECT_EQ(board.game()->moves(), (std::vector<std::string>{"19-24", "32-28"}));
}

TEST(WatchedBoard, TheSideLeftWithoutAMoveLosesAndATakeBackUndoesTheResult) {
    WatchedBoard board = hallBoard();
    feed(board, {lettersOf("W:W28:B23")});
    const WatchedBoard::Changes won = feed(board, {"028.", "023.", "019P"});
    EXPECT_EQ(won.notes.back(), "result 2-0");
    const std::string pdn = board.game()->pdn();
    for (const char* part : {"[Event \"Open\"]", "[Site \"Hall\"]", "[Date \"2026.12.09\"]", "[Round \"3\"]",
                             "[White \"Jansen\"]", "[Black \"de Vries\"]", "[Result \"2-0\"]", "[GameType \"20\"]",
                             "[Board \"3\"]", "[FEN \"W:W28:B23\"]", "28x19 2-0"}) {
        EXPECT_NE(pdn.find(part), std::string::npos) << part << " in\n" << pdn;
    }
    const WatchedBoard::Changes undone = feed(board, {"019.", "023p", "028P"});
    EXPECT_TRUE(undone.view);
    EXPECT_TRUE(board.game()->moves().empty());
    EXPECT_EQ(board.game()->result(), "*");
}

TEST(WatchedBoard, TheArbitersResultEndsTheGameUntilTakenBackAtItsLastPosition) {
    WatchedBoard board = hallBoard();
    std::string refusal;
    EXPECT_TRUE(board.enterResult("*", began, refusal).notes.empty());
    EXPECT_FALSE(refusal.empty());
    feed(board, {start, "032.", "028P"});
    refusal.clear();
    const WatchedBoard::Changes draw = board.enterResult("1-1", began, refusal);
    EXPECT_TRUE(refusal.empty());
    EXPECT_TRUE(draw.game && draw.view);
    EXPECT_EQ(board.game()->result(), "1-1");
    // Moves after the result are shown on the board, not added to the game.
    feed(board, {"019.", "023p"});
    EXPECT_EQ(board.game()->moves(), std::vector<std::string>{"32-28"});
    board.enterResult("*", began, refusal);
    EXPECT_NE(refusal, "");
    EXPECT_EQ(board.game()->result(), "1-1");
    feed(board, {"023.", "019p"});
    refusal.clear();
    board.enterResult("*", began, refusal);
    EXPECT_EQ(refusal, "");
    feed(board, {"019.", "023p"});
    EXPECT_EQ(board.game()->moves(), (std::vector<std::string>{"32-28", "19-23"}));
    EXPECT_EQ(board.game()->result(), "*");
}

TEST(WatchedBoard, AResultForABoardWithoutAGameIsAGameWithoutMovesAndANewGameFollowsIt) {
    WatchedBoard board = hallBoard();
    std::string refusal;
    board.enterResult("0-2", began, refusal);
    ASSERT_TRUE(board.game());
    EXPECT_EQ(board.game()->result(), "0-2");
    feed(board, {start, "032.", "028P"});
    ASSERT_EQ(board.earlierGames().size(), 1u);
    EXPECT_EQ(board.earlierGames()[0].result(), "0-2");
    EXPECT_EQ(board.game()->moves(), std::vector<std::string>{"32-28"});
}

// A game as its file holds it after 32-28 19-23.
std::vector<GameRecord> gamesOnFile() {
    WatchedBoard before = hallBoard();
    feed(before, {start, "032.", "028P", "019.", "023p"});
    std::string error;
    std::optional<GameRecord> game = GameRecord::readBack(draughts::readPdn(before.game()->pdn(), error)[0], "x.pdn", error);
    std::vector<GameRecord> games;
    games.push_back(std::move(*game));
    return games;
}

TEST(WatchedBoard, TakesUpTheGameOfItsFileWhereTheBoardShowsItsPositionOnly) {
    const std::string afterTwo = lettersOf("W:W28,31,33,34,35,36,37,38,39,40,41,42,43,44,45,46,47,48,49,50:"
                                           "B1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,20,23");
    WatchedBoard resumed = hallBoard();
    resumed.takeUpFrom(gamesOnFile());
    EXPECT_EQ(resumed.game()->moves().size(), 2u);
    const WatchedBoard::Changes taken = feed(resumed, {afterTwo});
    EXPECT_EQ(taken.notes, std::vector<std::string>{"game taken up where its file ends, after 2 moves"});
    EXPECT_EQ(resumed.game()->fileName, "x.pdn");
    // White to move, as the file says.
    feed(resumed, {"023.", "028.", "019P"});
    EXPECT_EQ(resumed.game()->moves(), (std::vector<std::string>{"32-28", "19-23", "28x19"}));

    WatchedBoard fresh = hallBoard();
    fresh.takeUpFrom(gamesOnFile());
    EXPECT_EQ(feed(fresh, {start}).notes, std::vector<std::string>{"new game"});
    EXPECT_TRUE(fresh.game()->moves().empty());
    ASSERT_EQ(fresh.earlierGames().size(), 1u);
    EXPECT_EQ(fresh.earlierGames()[0].fileName, "x.pdn");
}

TEST(RoundPdn, GivesTheBoardsGamesInOrderAndThePairingsBeforeTheirFirstMove) {
    std::vector<WatchedBoard> boards{hallBoard(), WatchedBoard("hall-4:50000/COM3", {4, "Smit", "Bakker"}, round)};
    feed(boards[0], {start, "032.", "028P"});
    const RoundPdn first = roundPdn(boards, "2026.12.09");
    std::string error;
    const std::vector<draughts::PdnGame> games = draughts::readPdn(first.text, error);
    ASSERT_EQ(games.size(), 2u) << error;
    EXPECT_EQ(games[0].moves, std::vector<std::string>{"32-28"});
    EXPECT_EQ(draughts::tagOf(games[1], "White"), "Smit");
    EXPECT_TRUE(games[1].moves.empty());
    EXPECT_EQ(roundPdn(boards, "2026.12.09").etag, first.etag);
    std::string refusal;
    boards[1].enterResult("2-0", began, refusal);
    EXPECT_NE(roundPdn(boards, "2026.12.09").etag, first.etag);
}

TEST(WatchedBoard, KeepsTheClockWhileFollowingOnly) {
    WatchedBoard board = hallBoard();
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
