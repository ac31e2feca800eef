#include "game_file_name.h"

#include <algorithm>
#include <cctype>

#include "textio/utf8.h"

namespace boardwatch {

namespace {

// Of ASCII, letters, digits and "-._" only: what else a file system may
// refuse (<>:"/\|?* on Windows), a shell or an address must quote.
bool refusedAscii(unsigned char c) { return !std::isalnum(c) && c != '-' && c != '.' && c != '_'; }

// C1 controls, spaces of other widths, marks that turn the text's direction
// or take no room, and the byte order mark.
bool hiddenCodePoint(char32_t c) {
    return (c >= 0x80 && c <= 0xA0) || c == 0xAD || (c >= 0x2000 && c <= 0x200F) || (c >= 0x2028 && c <= 0x202F) ||
           (c >= 0x205F && c <= 0x206F) || c == 0x3000 || c == 0xFEFF;
}

char32_t codePointOf(std::string_view sequence) {
    const auto byte = [&](std::size_t i) { return static_cast<char32_t>(static_cast<unsigned char>(sequence[i])); };
    if (sequence.size() == 2) return ((byte(0) & 0x1F) << 6) | (byte(1) & 0x3F);
    if (sequence.size() == 3) return ((byte(0) & 0x0F) << 12) | ((byte(1) & 0x3F) << 6) | (byte(2) & 0x3F);
    return ((byte(0) & 0x07) << 18) | ((byte(1) & 0x3F) << 12) | ((byte(2) & 0x3F) << 6) | (byte(3) & 0x3F);
}

bool trimmedAway(char c) { return c == '_' || c == '-' || c == '.'; }

std::string trimmed(const std::string& text) {
    std::size_t first = 0, end = text.size();
    while (first < end && trimmedAway(text[first])) ++first;
    while (end > first && trimmedAway(text[end - 1])) --end;
    return text.substr(first, end - first);
}

std::string digitsOf(const std::string& text) {
    std::string digits;
    for (char c : text) {
        if (std::isdigit(static_cast<unsigned char>(c))) digits += c;
    }
    return digits;
}

}  // namespace

std::string fileNamePart(std::string_view text, std::size_t most) {
    const std::string valid = textio::validUtf8(text);
    std::string part;
    const auto add = [&](std::string_view piece) {
        const bool gap = piece == "_";
        if (gap && (part.empty() || part.back() == '_')) return false;
        if (part.size() + piece.size() > most) return true;
        part += piece;
        return false;
    };
    for (std::size_t at = 0; at < valid.size();) {
        const std::size_t length = std::max<std::size_t>(1, textio::utf8SequenceAt(valid, at));
        const std::string_view piece(valid.data() + at, length);
        at += length;
        const bool hidden = length == 1 ? refusedAscii(static_cast<unsigned char>(piece[0]))
                                        : hiddenCodePoint(codePointOf(piece));
        if (add(hidden ? "_" : piece)) break;
    }
    return trimmed(part);
}

std::string notADevice(std::string stem) {
    std::string device = stem.substr(0, stem.find('.'));
    while (!device.empty() && device.back() == ' ') device.pop_back();
    for (char& c : device) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const bool numbered = device.size() == 4 && (device.compare(0, 3, "COM") == 0 || device.compare(0, 3, "LPT") == 0) &&
                          std::isdigit(static_cast<unsigned char>(device[3]));
    const bool named = device == "CON" || device == "PRN" || device == "AUX" || device == "NUL";
    return numbered || named ? "_" + stem : stem;
}

std::string gameFileBase(const RoundTags& round, const BoardLabel& board, int highestBoard, const std::string& gameDate) {
    std::string base = digitsOf(round.date.empty() ? gameDate : round.date);
    const auto append = [&base](const std::string& part) { base += (base.empty() ? "" : "-") + part; };
    const std::string roundPart = fileNamePart(round.round);
    if (round.round != "?" && !roundPart.empty()) append("R" + roundPart);
    std::string number = std::to_string(board.number);
    const std::size_t digits = std::to_string(std::max(highestBoard, board.number)).size();
    append("B" + std::string(digits - number.size(), '0') + number);
    if (board.white != "?" || board.black != "?") {
        for (const std::string& name : {board.white, board.black}) {
            const std::string part = name == "?" ? "" : fileNamePart(name);
            append(part.empty() ? "NN" : part);
        }
    }
    return notADevice(base);
}

}  // namespace boardwatch
