#ifndef BOARDSIM_BOARD_FRAMES_H
#define BOARDSIM_BOARD_FRAMES_H

// The frames the virtual board sends, byte for byte.

#include <array>
#include <string>
#include <vector>

#include <virtualboard/board_frame.h>

#include "draughts_names.h"
#include "game_clock.h"

namespace boardsim {

using virtualboard::Bytes;

// Id bytes as sent: the message type with the top bit set.
constexpr unsigned char boardDumpId = 0x80 | 6;
constexpr unsigned char clockId = 0x80 | 13;
constexpr unsigned char fieldUpdateId = 0x80 | 14;
constexpr unsigned char storedMovesId = 0x80 | 15;
constexpr unsigned char busAddressId = 0x80 | 16;
constexpr unsigned char serialNumberId = 0x80 | 17;
constexpr unsigned char trademarkId = 0x80 | 18;
constexpr unsigned char versionId = 0x80 | 19;
// Board dumps the board sends of itself: after each change in the
// board-update mode, and after each whole move in the nice update mode.
constexpr unsigned char changeDumpId = 0x80 | 20;
constexpr unsigned char moveDumpId = 0x80 | 21;
constexpr unsigned char batteryId = 0x80 | 32;
constexpr unsigned char longSerialNumberId = 0x80 | 33;

// The protocol gives piece codes letters only; this board sends white men as
// 1 (P), white kings as 5 (K), black men as 7 (p), black kings as 11 (k) and
// an empty square as 0 (.).
unsigned char pieceCode(Piece piece);

Bytes boardDumpFrame(unsigned char id, const Position& pieces);
Bytes fieldUpdateFrame(int square, Piece piece);
// Times above 9:59:59 show as 9:59:59: an hour digit of 10 would mark the
// frame as an acknowledgement.
Bytes clockTimesFrame(const ClockTime& white, const ClockTime& black);
// The acknowledgement of a clock command: four values of 0 to 255.
Bytes clockAckFrame(const std::array<int, 4>& ack);
// Each stored move as two bytes, its start and target square, oldest first.
Bytes storedMovesFrame(const std::vector<Move>& moves);
// The serial numbers and the trademark: the text's bytes as they are.
Bytes textFrame(unsigned char id, const std::string& text);
Bytes busAddressFrame(int address);
Bytes versionFrame(int major, int minor);
Bytes batteryFrame(int percent, int hours, int minutes);

}  // namespace boardsim

#endif
