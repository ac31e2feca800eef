// Seeded random games under the full rules: every move the rules give must
// keep the position whole, be written and read back as itself, and a game
// must come back from its PDN.
#include <gtest/gtest.h>

#include <random>

#include "draughts/notation.h"
#include "draughts/pdn.h"
#include "test_positions.h"

namespace draughts {
namespace {

constexpr int games = 200;
constexpr int longestGame = 200;

int countOf(const Position& position, Side side) {
    int count = 0;
    for (int square = 1; square <= squareCount; ++square) count += sideOf(position.at(square)) == side;
    return count;
}

bool sameEffect(const Move& a, const Move& b) {
    std::vector<int> taken = a.captured, others = b.captured;
    std::sort(taken.begin(), taken.end());
    std::sort(others.begin(), others.end());
    return a.from == b.from && a.to == b.to && taken == others;
}

void checkMoves(const Position& position) {
    const std::vector<Move> legal = legalMoves(position), free = legalMoves(position, Rules::Free);
    std::size_t most = 0;
    for (const Move& move : free) most = std::max(most, move.captured.size());
    const Side mover = position.toMove();
    const int movers = countOf(position, mover), others = countOf(position, opponentOf(mover));
    for (std::size_t i = 0; i < legal.size(); ++i) {
        const Move& move = legal[i];
        // The rules pick the free moves that take the most.
        EXPECT_EQ(move.captured.size(), most);
        EXPECT_TRUE(std::any_of(free.begin(), free.end(), [&](const Move& other) { return sameEffect(move, other); }));
        for (std::size_t j = 0; j < i; ++j) EXPECT_FALSE(sameEffect(move, legal[j])) << notationOf(position, move);

        const Position after = afterMove(position, move);
        EXPECT_EQ(after.toMove(), opponentOf(mover));
        EXPECT_EQ(countOf(after, mover), movers);
        EXPECT_EQ(countOf(after, opponentOf(mover)), others - int(move.captured.size()));
        EXPECT_EQ(isKing(after.at(move.to)), isKing(position.at(move.from)) || move.promotes);

        // A step is written one way only; captures are where notation can go wrong.
        if (!move.isCapture()) continue;
        const std::string written = notationOf(position, move);
        std::string error;
        const std::optional<WrittenMove> read = parseMove(written, error);
        ASSERT_TRUE(read) << error;
        const MoveCheck check = checkMove(position, *read);
        ASSERT_TRUE(check.move) << fenOf(position) << ' ' << written << ": " << check.error;
        EXPECT_EQ(*check.move, move) << fenOf(position) << ' ' << written;
    }
}

TEST(RandomGames, KeepEveryPositionWholeAndEveryMoveReadable) {
    for (int seed = 1; seed <= games; ++seed) {
        std::mt19937 random(seed);
        Position position = Position::start();
        PdnGame game;
        for (int ply = 0; ply < longestGame; ++ply) {
            std::string error;
            ASSERT_EQ(parseFen(fenOf(position), error), position);
            checkMoves(position);
            if (testing::Test::HasFailure()) return;
            const std::vector<Move> legal = legalMoves(position);
            if (legal.empty()) break;
            const Move& move = legal[std::uniform_int_distribution<std::size_t>(0, legal.size() - 1)(random)];
            game.moves.push_back(notationOf(position, move));
            position = afterMove(position, move);
        }
        std::string error;
        const std::vector<PdnGame> back = readPdn(writePdn(game), error);
        ASSERT_EQ(back.size(), 1u) << error;
        const GameCheck replay = checkGame(Position::start(), back[0].moves);
        EXPECT_EQ(replay.error, "") << "seed " << seed;
        EXPECT_EQ(replay.end, position) << "seed " << seed;
    }
}

}  // namespace
}  // namespace draughts
