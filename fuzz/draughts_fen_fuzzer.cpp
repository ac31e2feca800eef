// Any text as a FEN (boardsim's --position and position command, a PDN
// file's FEN tag): a position or a reason. A position taken is one a game
// can reach as far as its pieces go, and its own FEN names it again.
#include <cstddef>
#include <cstdint>
#include <string>

#include "draughts/fen.h"
#include "require.h"

using namespace draughts;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string error;
    const std::optional<Position> position = parseFen(text, error);
    if (!position) {
        require(!error.empty(), "a refusal says why");
        require(error.size() < 300, "a refusal quotes little of the text");
        return 0;
    }
    for (int square = 1; square <= squareCount; ++square) {
        require(!(position->at(square) == Piece::WhiteMan && square <= 5), "no white man on white's far row");
        require(!(position->at(square) == Piece::BlackMan && square > squareCount - 5),
                "no black man on black's far row");
    }
    const std::string fen = fenOf(*position);
    require(parseFen(fen, error) == position, "a position's FEN names it again");
    return 0;
}
