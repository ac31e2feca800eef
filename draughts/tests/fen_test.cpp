#include <gtest/gtest.h>

#include "test_positions.h"

namespace draughts {
namespace {

struct FenCase {
    const char* written;
    const char* canonical;  // empty: refused, and error holds this instead
    const char* error;
};

const FenCase fenCases[] = {
    {"W:W31,32,K45:B1,2,K7", "W:W31,32,K45:B1,2,K7", ""},
    {"W:W31-50:B1-20", "W:W31,32,33,34,35,36,37,38,39,40,41,42,43,44,45,46,47,48,49,50:B1,2,3,4,5,6,7,8,9,10,11,12,13,14,"
                       "15,16,17,18,19,20", ""},
    {"B:BK1-3,10:WK50", "B:WK50:BK1,K2,K3,10", ""},
    {" w : w 45 , 31 : b k7 , 2 .", "W:W31,45:B2,K7", ""},
    {"[FEN \"B:W28:B19\"]", "B:W28:B19", ""},
    {"W:W32:B19:H0:F12", "W:W32:B19", ""},
    {"W:W:B", "W:W:B", ""},
    {"W", "W:W:B", ""},
    {"", "", "it starts with the side to move"},
    {"X:W32", "", "it starts with the side to move"},
    {"W:W51", "", "'51' names no square"},
    {"W:W0", "", "'0' names no square"},
    {"W:W20-10", "", "'20-10' names no square"},
    {"W:W1x", "", "'1x' names no square"},
    {"W:W32:B32", "", "square 32 is named twice"},
    {"W:W30-35:B35", "", "square 35 is named twice"},
    {"W:W32:Q19", "", "'Q19' in the FEN is neither W nor B"},
    {"W:WK3:BK48", "W:WK3:BK48", ""},
    {"W:W1-5", "", "a white man on square 1, its own far row (1 to 5), would have been crowned: write K1"},
    {"B:B40-50", "", "a black man on square 46, its own far row (46 to 50)"},
};

TEST(Fens, AreReadAndWrittenInOneForm) {
    for (const FenCase& c : fenCases) {
        SCOPED_TRACE(c.written);
        std::string error;
        const std::optional<Position> position = parseFen(c.written, error);
        if (*c.canonical == '\0') {
            EXPECT_FALSE(position);
            EXPECT_NE(error.find(c.error), std::string::npos) << error;
            continue;
        }
        ASSERT_TRUE(position) << error;
        EXPECT_EQ(fenOf(*position), c.canonical);
        EXPECT_EQ(parseFen(fenOf(*position), error), position);
    }
}

TEST(Fens, OfTheStartNameItsMen) {
    EXPECT_EQ(positionOf("W:W31-50:B1-20"), Position::start());
    EXPECT_EQ(positionOf("W:W31-50:B1-20").toMove(), Side::White);
    EXPECT_EQ(positionOf("B:B1-20:W31-50").toMove(), Side::Black);
}

}  // namespace
}  // namespace draughts
