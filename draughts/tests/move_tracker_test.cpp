// The tracker's judgement of whole positions: moves, pieces lifted and put
// back, positions no move reaches, take-backs, new games and games taken up
// in the middle. How a person's hands order the changes of each kind of
// move is tested against boardsim's own handling, in boardwatch's tests.
#include "draughts/move_tracker.h"

#include <gtest/gtest.h>

#include <sstream>

#include "draughts/fen.h"
#include "test_positions.h"

namespace draughts {
namespace {

using Kind = TrackerEvent::Kind;
using Status = MoveTracker::Status;

std::string lettersOf(const Position& position) {
    std::string letters;
    for (int square = 1; square <= squareCount; ++square) letters += letterOf(position.at(square));
    return letters;
}

// What a board dump and then square changes ("32. 28P": square 32 emptied,
// a white man put on 28) make the tracker say, one word an event:
// "Move:32-28", "TakeBack:32-28", "Unrecognised", ...
struct Played {
    std::vector<std::string> said;
    MoveTracker tracker;
};

std::string wordOf(const TrackerEvent& event) {
    static const char* const names[] = {"NewGame", "Joined", "Move", "TakeBack", "Unrecognised", "Resumed"};
    std::string word = names[static_cast<int>(event.kind)];
    return event.notation.empty() ? word : word + ":" + event.notation;
}

void play(Played& played, const std::string& changes) {
    std::istringstream words(changes);
    for (std::string change; words >> change;) {
        const int square = std::stoi(change.substr(0, change.size() - 1));
        for (const TrackerEvent& event : played.tracker.squareChange(square, change.back()))
            played.said.push_back(wordOf(event));
    }
}

Played fromDump(const std::string& letters, const std::string& changes) {
    Played played;
    for (const TrackerEvent& event : played.tracker.boardDump(letters)) played.said.push_back(wordOf(event));
    play(played, changes);
    return played;
}

Played fromStart(const std::string& changes) { return fromDump(lettersOf(Position::start()), changes); }

using Said = std::vector<std::string>;

struct Case {
    const char* name;
    const char* changes;  // from the start
    Said said;            // after "NewGame"
    Status status;
};

const Case fromTheStart[] = {
        Case{"a move", "32. 28P", {"Move:32-28"}, Status::InPosition},
        Case{"a piece lifted and put back", "32. 32P", {}, Status::InPosition},
        Case{"a piece held", "32.", {}, Status::MoveUnderway},
        Case{"pieces of both sides lifted", "32. 19.", {}, Status::MoveUnderway},
        Case{"a reply", "32. 28P 19. 23p", {"Move:32-28", "Move:19-23"}, Status::InPosition},
        Case{"a capture, the captured piece taken first", "32. 28P 19. 23p 23. 28. 19P",
             {"Move:32-28", "Move:19-23", "Move:28x19"}, Status::InPosition},
        Case{"a piece put where no move goes", "32. 25P", {"Unrecognised"}, Status::Unrecognised},
        Case{"the wrong side moves", "19. 23p", {"Unrecognised"}, Status::Unrecognised},
        Case{"said once while it lasts", "32. 25P 31. 37.", {"Unrecognised"}, Status::Unrecognised},
        Case{"back at the last known position", "32. 25P 25. 32P", {"Unrecognised", "Resumed"}, Status::InPosition},
        Case{"on from there to a legal move", "32. 25P 25. 28P", {"Unrecognised", "Move:32-28"}, Status::InPosition},
        Case{"not on before then", "32. 25P 25.", {"Unrecognised"}, Status::Unrecognised},
        Case{"a move undone", "32. 28P 28. 32P", {"Move:32-28", "TakeBack:32-28"}, Status::InPosition},
        Case{"a move corrected", "32. 28P 28. 27P", {"Move:32-28", "TakeBack:32-28", "Move:32-27"}, Status::InPosition},
        Case{"the start again", "32. 28P 19. 23p 23. 19p 28. 32P",
             {"Move:32-28", "Move:19-23", "TakeBack:19-23", "NewGame"}, Status::InPosition},
        Case{"a letter that is no draughts piece", "28Q", {"Unrecognised"}, Status::Unrecognised}};

TEST(Tracker, SaysWhatTheBoardShowsFromTheStart) {
    for (const Case& test : fromTheStart) {
        SCOPED_TRACE(test.name);
        const Played played = fromStart(test.changes);
        Said expected{"NewGame"};
        expected.insert(expected.end(), test.said.begin(), test.said.end());
        EXPECT_EQ(played.said, expected);
        EXPECT_EQ(played.tracker.status(), test.status);
    }
}

TEST(Tracker, TakesUpAGameInTheMiddleAndLearnsTheSideToMoveFromItsFirstMove) {
    Played played = fromDump(lettersOf(positionOf("W:W32,33:B18,19")), "");
    EXPECT_EQ(played.said, Said{"Joined"});
    EXPECT_FALSE(played.tracker.sideKnown());
    // Until a move shows the game, a put that fits no move is the game.
    play(played, "33. 25P");
    EXPECT_EQ(played.said, (Said{"Joined", "Joined"}));
    play(played, "19. 23p");
    EXPECT_EQ(played.said.back(), "Move:19-23");
    EXPECT_TRUE(played.tracker.sideKnown());
    EXPECT_EQ(fenOf(played.tracker.position()), "W:W25,32:B18,23");
    play(played, "32. 24P");
    EXPECT_EQ(played.said.back(), "Unrecognised");
}

TEST(Tracker, FollowsAGameItIsToldOfFromItsSideToMove) {
    Position blackToMove = Position::start();
    blackToMove.setToMove(Side::Black);
    const std::pair<const char*, Said> cases[] = {{"19. 23p", {"Move:19-23"}}, {"32. 28P", {"Unrecognised"}}};
    for (const auto& [changes, said] : cases) {
        Played played;
        played.tracker.follow(blackToMove);
        EXPECT_TRUE(played.tracker.boardDump(lettersOf(Position::start())).empty()) << "no new game";
        play(played, changes);
        EXPECT_EQ(played.said, said);
    }
}

TEST(Tracker, TakesUpARecordedGameOnlyWhereTheBoardShowsIt) {
    Played played = fromDump(lettersOf(positionOf("W:W32,33:B18,19")), "");
    EXPECT_FALSE(played.tracker.takeUp(positionOf("B:W32,33:B18,20")));
    EXPECT_FALSE(played.tracker.sideKnown());
    ASSERT_TRUE(played.tracker.takeUp(positionOf("B:W32,33:B18,19")));
    EXPECT_TRUE(played.tracker.sideKnown());
    // White's move no longer fits: black is to move.
    play(played, "33. 28P");
    EXPECT_EQ(played.said.back(), "Unrecognised");
    play(played, "28. 33P 19. 23p");
    EXPECT_EQ(played.said.back(), "Move:19-23");
}

TEST(Tracker, NamesTheSideThatHasNoMoveLeft) {
    const Played going = fromDump(lettersOf(positionOf("W:W28:B23,35")), "28. 23. 19P");
    EXPECT_EQ(going.said, (Said{"Joined", "Move:28x19"}));
    EXPECT_EQ(going.tracker.sideWithoutMoves(), std::nullopt);
    const Played lost = fromDump(lettersOf(positionOf("W:W28:B23")), "28. 23. 19P");
    EXPECT_EQ(lost.tracker.sideWithoutMoves(), Side::Black);
}

TEST(Tracker, ADumpOfTheBoardAsItIsSaysNothingNew) {
    Played played = fromStart("32. 28P");
    Position after = Position::start();
    after.put(32, Piece::None);
    after.put(28, Piece::WhiteMan);
    EXPECT_TRUE(played.tracker.boardDump(lettersOf(after)).empty());
    EXPECT_TRUE(played.tracker.boardDump("short").empty());
    EXPECT_TRUE(played.tracker.squareChange(51, '.').empty());
    EXPECT_EQ(played.tracker.status(), Status::InPosition);
}

TEST(Tracker, WaitsForABoardBeforeTakingSquareChanges) {
    MoveTracker tracker;
    EXPECT_TRUE(tracker.squareChange(32, '.').empty());
    EXPECT_EQ(tracker.status(), Status::NoBoard);
}

}  // namespace
}  // namespace draughts
