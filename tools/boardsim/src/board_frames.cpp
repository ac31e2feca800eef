#include "board_frames.h"

#include <algorithm>

namespace boardsim {

namespace {

using virtualboard::boardFrame;

unsigned char byte(int value) { return static_cast<unsigned char>(value & 0x7F); }

unsigned char packedDecimal(int value) { return static_cast<unsigned char>((value / 10) << 4 | value % 10); }

ClockTime shown(const ClockTime& time) {
    if (time.hours <= 9) return time;
    return {9, 59, 59};
}

}  // namespace

unsigned char pieceCode(Piece piece) {
    switch (piece) {
        case Piece::WhiteMan:
            return 1;
        case Piece::WhiteKing:
            return 5;
        case Piece::BlackMan:
            return 7;
        case Piece::BlackKing:
            return 11;
        case Piece::None:
            break;
    }
    return 0;
}

Bytes boardDumpFrame(unsigned char id, const Position& pieces) {
    Bytes payload;
    for (int square = 1; square <= squareCount; ++square) payload.push_back(pieceCode(pieces.at(square)));
    return boardFrame(id, payload);
}

Bytes fieldUpdateFrame(int square, Piece piece) {
    return boardFrame(fieldUpdateId, {byte(square), pieceCode(piece)});
}

Bytes clockTimesFrame(const ClockTime& white, const ClockTime& black) {
    const ClockTime a = shown(white), b = shown(black);
    return boardFrame(clockId, {byte(a.hours), packedDecimal(a.minutes), packedDecimal(a.seconds),
                                         byte(b.hours), packedDecimal(b.minutes), packedDecimal(b.seconds), 0});
}

Bytes clockAckFrame(const std::array<int, 4>& ack) {
    // The low nibble 10 of byte 3 marks an acknowledgement; bit 7 of each
    // value travels in bits 4 and 5 of bytes 3 and 6.
    const auto high = [&ack](int i, int bit) { return (ack[i] & 0x80) ? bit : 0; };
    const unsigned char third = static_cast<unsigned char>(0x0A | high(2, 0x10) | high(3, 0x20));
    const unsigned char sixth = static_cast<unsigned char>(high(0, 0x10) | high(1, 0x20));
    return boardFrame(clockId, {third, byte(ack[0]), byte(ack[1]), sixth, byte(ack[2]), byte(ack[3]), 0});
}

Bytes storedMovesFrame(const std::vector<Move>& moves) {
    Bytes payload;
    for (const Move& move : moves) {
        payload.push_back(byte(move.from));
        payload.push_back(byte(move.to));
    }
    return boardFrame(storedMovesId, payload);
}

Bytes textFrame(unsigned char id, const std::string& text) {
    Bytes payload;
    for (char c : text) payload.push_back(byte(c));
    return boardFrame(id, payload);
}

Bytes busAddressFrame(int address) { return boardFrame(busAddressId, {byte(address >> 7), byte(address)}); }

Bytes versionFrame(int major, int minor) { return boardFrame(versionId, {byte(major), byte(minor)}); }

Bytes batteryFrame(int percent, int hours, int minutes) {
    // Bytes 6 to 11 carry nothing this board reports; the host reads up to
    // byte 11 all the same, so they are sent as zeros.
    return boardFrame(batteryId, {byte(percent), byte(hours), byte(minutes), 0, 0, 0, 0, 0, 0});
}

}  // namespace boardsim
