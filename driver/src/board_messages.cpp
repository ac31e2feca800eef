// Board-state messages: MsgBoardDump, MsgFieldUpdate, MsgEEMoves.

#include <algorithm>
#include <boost/format.hpp>

#include "boardio/messages.h"
#include "message_codec.h"

namespace krvEBLowLevel {

namespace {

constexpr int boardDumpCapacity = 200;  // letters in pieces, values in raw
constexpr int fieldUpdateRawCount = 5;
constexpr int eeMovesRawCapacity = 16000;

// Letters of the piece codes 0 to 15.
constexpr char boardDumpLetters[16] = {'.', 'P', 'R', 'N', 'B', 'K', 'Q', 'p', 'r', 'n', 'b', 'k', 'q', '1', '2', '3'};
constexpr char fieldUpdateLetters[16] = {'.', 'P', 'R', 'N', 'B', 'K', 'Q', 'p',
                                         'r', 'n', 'b', 'k', 'q', 'x', 'y', 'z'};
// A field-update piece code above 15 has no letter.
constexpr char unknownPiece = '?';

}  // namespace

const char* IncorrectMessageLength::what() const noexcept { return "MsgFieldUpdate: Incorrect message length!"; }

// ---- MsgBoardDump ---------------------------------------------------------

MsgBoardDump::MsgBoardDump(const unsigned char* frame) : Message(6, codec::decodeSize(frame)), pieces{}, raw{} {
    const int readable = codec::readableSize(size);
    int n = 0;
    for (int i = 3; i < readable && n < boardDumpCapacity; ++i) {
        const unsigned char code = frame[i];
        if (code <= 15) pieces[n++] = boardDumpLetters[code];
    }
    pieces[n] = '\0';
    codec::storeRaw(frame, raw, codec::keptCount(size, boardDumpCapacity));
}

void MsgBoardDump::getText(std::string& out) { out = (boost::format("%1%") % pieces).str(); }

void MsgBoardDump::getHexDump(std::string& out) {
    codec::appendHexDump(out, raw, codec::keptCount(size, boardDumpCapacity), codec::LineFeeds::BeforeEveryEighth);
}

void MsgBoardDump::getRawData(short* out) { std::copy(raw, raw + codec::keptCount(size, boardDumpCapacity), out); }

Message* MsgBoardDump::clone() { return new MsgBoardDump(*this); }

int MsgBoardDump::getSize() { return size; }

// ---- MsgFieldUpdate -------------------------------------------------------

MsgFieldUpdate::MsgFieldUpdate(const unsigned char* frame)
    : Message(14, codec::decodeSize(frame)), square(0), piece(unknownPiece), raw{} {
    if (size != 5) throw IncorrectMessageLength();
    square = frame[3];
    const unsigned char code = frame[4];
    piece = code <= 15 ? fieldUpdateLetters[code] : unknownPiece;
    codec::storeRaw(frame, raw, fieldUpdateRawCount);
}

void MsgFieldUpdate::getText(std::string& out) { out = (boost::format("%1$03d%2%") % square % piece).str(); }

void MsgFieldUpdate::getHexDump(std::string& out) {
    codec::appendHexDump(out, raw, fieldUpdateRawCount, codec::LineFeeds::None);
}

void MsgFieldUpdate::getRawData(short* out) { std::copy(raw, raw + fieldUpdateRawCount, out); }

Message* MsgFieldUpdate::clone() { return new MsgFieldUpdate(*this); }

int MsgFieldUpdate::getSize() { return size; }

// ---- MsgEEMoves -----------------------------------------------------------

MsgEEMoves::MsgEEMoves(const unsigned char* frame) : Message(15, codec::decodeSize(frame)), raw{} {
    codec::storeRaw(frame, raw, codec::readableSize(size));
}

void MsgEEMoves::getText(std::string& out) { out = boost::format("EEMoves").str(); }

void MsgEEMoves::getHexDump(std::string& out) {
    codec::appendOffsetHexDump(out, raw, codec::keptCount(codec::readableSize(size), eeMovesRawCapacity));
}

void MsgEEMoves::getRawData(short* out) {
    // The payload only: stored values 3 to size-1 (nothing below size 4).
    const int kept = codec::keptCount(codec::readableSize(size), eeMovesRawCapacity);
    if (kept > 3) std::copy(raw + 3, raw + kept, out);
}

Message* MsgEEMoves::clone() { return new MsgEEMoves(*this); }

int MsgEEMoves::getSize() { return size; }

}  // namespace krvEBLowLevel
