#ifndef DRAUGHTS_TEST_POSITIONS_H
#define DRAUGHTS_TEST_POSITIONS_H

#include <gtest/gtest.h>

#include <string>

#include "draughts/fen.h"

namespace draughts {

inline Position positionOf(const std::string& fen) {
    std::string error;
    const std::optional<Position> position = parseFen(fen, error);
    EXPECT_TRUE(position) << fen << ": " << error;
    return position.value_or(Position::empty());
}

}  // namespace draughts

#endif
