#ifndef DRAUGHTS_TEST_POSITIONS_H
#define DRAUGHTS_TEST_POSITIONS_H

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>

#include "draughts/fen.h"

namespace draughts {

inline Position positionOf(const std::string& fen) {
    std::string error;
    const std::optional<Position> position = parseFen(fen, error);
    EXPECT_TRUE(position) << fen << ": " << error;
    return position.value_or(Position::empty());
}

// A test's name from the words of a table row.
inline std::string testName(std::string words) {
    std::replace_if(words.begin(), words.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); }, '_');
    return words;
}

}  // namespace draughts

#endif
