#include "board_diagram.h"

#include <boost/format.hpp>

namespace boardsim {

std::string diagramOf(const Position& position) {
    std::string text;
    for (int row = 0; row < 10; ++row) {
        std::string line = "  ";
        for (int column = 0; column < 10; ++column) {
            const bool dark = (row + column) % 2 == 1;
            line += ' ';
            line += dark ? letterOf(position.at(row * 5 + column / 2 + 1)) : ' ';
        }
        text += (boost::format("%1%    %2$2d-%3$2d\n") % line % (row * 5 + 1) % (row * 5 + 5)).str();
    }
    text += (boost::format("  %1% to move\n") % nameOf(position.toMove())).str();
    return text;
}

}  // namespace boardsim
