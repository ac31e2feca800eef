#include "field_updates.h"

#include <boost/format.hpp>

namespace relay_compare {

namespace {

constexpr unsigned char fieldUpdateId = 0x8E;
constexpr long squares = 50;
constexpr long pieceCodes = 16;
// The letter a field update shows for piece codes 0 to 15.
constexpr char pieceLetters[] = ".PRNBKQprnbkqxyz";

}  // namespace

Bytes fieldUpdateFrame(long index) {
    const auto square = static_cast<unsigned char>(1 + index % squares);
    const auto piece = static_cast<unsigned char>(index / squares % pieceCodes);
    return {fieldUpdateId, 0x00, 0x05, square, piece};
}

std::string fieldUpdateText(const Bytes& frame) {
    return str(boost::format("%1$03d%2%") % static_cast<int>(frame.at(3)) % pieceLetters[frame.at(4) & 0x0F]);
}

}  // namespace relay_compare
