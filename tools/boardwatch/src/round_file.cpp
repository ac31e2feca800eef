#include "round_file.h"

#include <algorithm>
#include <boost/format.hpp>
#include <map>

#include "csv_records.h"
#include "textio/utf8.h"

namespace boardwatch {

namespace {

const char* const columnNames[] = {"board", "relay", "white", "black"};
enum Column { BoardColumn, RelayColumn, WhiteColumn, BlackColumn, ColumnCount };

std::string_view trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string lower(std::string_view text) {
    std::string low(text);
    for (char& c : low) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return low;
}

bool blank(const CsvRecord& record) {
    return std::all_of(record.fields.begin(), record.fields.end(),
                       [](const std::string& field) { return trimmed(field).empty(); });
}

std::optional<int> boardNumber(std::string_view text) {
    if (text.empty() || text.size() > 4 || text.find_first_not_of("0123456789") != std::string_view::npos) {
        return std::nullopt;
    }
    const int number = std::stoi(std::string(text));
    if (number < 1 || number > highestBoard) return std::nullopt;
    return number;
}

// Where each column is in a row; false, with the errors, when the header
// lacks one or names one twice.
bool readHeader(const CsvRecord& header, int (&place)[ColumnCount], std::vector<std::string>& errors) {
    std::fill(std::begin(place), std::end(place), -1);
    const std::size_t before = errors.size();
    for (std::size_t i = 0; i < header.fields.size(); ++i) {
        const std::string name = lower(trimmed(header.fields[i]));
        for (int column = 0; column < ColumnCount; ++column) {
            if (name != columnNames[column]) continue;
            if (place[column] >= 0) {
                errors.push_back((boost::format("line %1%: the column %2% twice") % header.line % name).str());
            }
            place[column] = static_cast<int>(i);
        }
    }
    for (int column = 0; column < ColumnCount; ++column) {
        if (place[column] >= 0) continue;
        errors.push_back((boost::format("line %1%: no column %2% (the header names board, relay, white and black)") %
                          header.line % columnNames[column])
                             .str());
    }
    return errors.size() == before;
}

}  // namespace

std::optional<std::string> tagText(std::string_view text, std::string& error) {
    const std::string_view name = trimmed(text);
    if (textio::validUtf8(name) != name) {
        error = "is not UTF-8 (save the file as UTF-8)";
        return std::nullopt;
    }
    if (std::any_of(name.begin(), name.end(), [](char c) {
            const auto byte = static_cast<unsigned char>(c);
            return byte < 0x20 || byte == 0x7F;
        })) {
        error = "holds a line break or another control character";
        return std::nullopt;
    }
    if (name.size() > longestName) {
        error = (boost::format("is longer than %1% bytes") % longestName).str();
        return std::nullopt;
    }
    return name.empty() ? std::string("?") : std::string(name);
}

std::optional<std::vector<Pairing>> readRound(std::string_view text, std::vector<std::string>& errors) {
    std::vector<CsvRecord> records;
    std::string error;
    if (!readCsv(text, records, error)) {
        errors.push_back(error);
        return std::nullopt;
    }
    records.erase(std::remove_if(records.begin(), records.end(), blank), records.end());
    if (records.empty()) {
        errors.push_back("no header row (board, relay, white, black) and no board");
        return std::nullopt;
    }
    int place[ColumnCount];
    if (!readHeader(records.front(), place, errors)) return std::nullopt;

    std::vector<Pairing> round;
    std::map<int, int> boardLines;
    std::map<std::string, int> relayLines;
    const std::size_t fields = records.front().fields.size();
    for (auto record = records.begin() + 1; record != records.end(); ++record) {
        const auto bad = [&](const boost::format& why) {
            errors.push_back((boost::format("line %1%: %2%") % record->line % why.str()).str());
        };
        if (record->fields.size() != fields) {
            bad(boost::format("%1% fields where the header has %2% (a name with a comma goes in quotes)") %
                record->fields.size() % fields);
            continue;
        }
        Pairing pairing;
        const std::string_view number = trimmed(record->fields[static_cast<std::size_t>(place[BoardColumn])]);
        const std::optional<int> board = boardNumber(number);
        if (!board) {
            bad(boost::format("board '%1%' is no number from 1 to %2%") % textio::validUtf8(number) % highestBoard);
            continue;
        }
        pairing.board = *board;
        const std::string address(trimmed(record->fields[static_cast<std::size_t>(place[RelayColumn])]));
        std::optional<RelayAddress> relay = parseRelayAddress(address, error);
        if (!relay) {
            bad(boost::format("board %1%: %2%") % *board % textio::validUtf8(error));
            continue;
        }
        pairing.relay = std::move(*relay);
        bool named = true;
        for (const Column column : {WhiteColumn, BlackColumn}) {
            const std::optional<std::string> name =
                tagText(record->fields[static_cast<std::size_t>(place[column])], error);
            if (!name) {
                bad(boost::format("board %1%: %2% %3%") % *board % columnNames[column] % error);
                named = false;
            } else {
                (column == WhiteColumn ? pairing.white : pairing.black) = *name;
            }
        }
        if (!named) continue;
        const auto [boardSeen, newBoard] = boardLines.emplace(*board, record->line);
        if (!newBoard) {
            bad(boost::format("board %1% again, as on line %2%") % *board % boardSeen->second);
            continue;
        }
        const auto [relaySeen, newRelay] = relayLines.emplace(pairing.relay.identity(), record->line);
        if (!newRelay) {
            bad(boost::format("board %1%: %2% is the relay of line %3% again") % *board % pairing.relay.text %
                relaySeen->second);
            continue;
        }
        round.push_back(std::move(pairing));
    }
    if (round.empty() && errors.empty()) errors.push_back("no board: a row a board follows the header");
    if (!errors.empty()) return std::nullopt;
    return round;
}

}  // namespace boardwatch
