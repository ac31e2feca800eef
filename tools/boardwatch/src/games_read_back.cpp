#include "games_read_back.h"

#include <filesystem>
#include <system_error>

#include "input_file.h"

namespace boardwatch {

namespace {

// "BASE-12.pdn": BASE and 12; "BASE.pdn": BASE and 1.
void addName(const std::string& name, std::map<std::string, std::map<int, std::string>>& files) {
    const std::string suffix = ".pdn";
    if (name.size() <= suffix.size() || name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0) return;
    const std::string stem = name.substr(0, name.size() - suffix.size());
    files[stem][1] = name;
    const std::size_t dash = stem.rfind('-');
    if (dash == std::string::npos || stem.size() - dash - 1 > 4) return;
    const std::string number = stem.substr(dash + 1);
    if (number.empty() || number.find_first_not_of("0123456789") != std::string::npos || number[0] == '0') return;
    files[stem.substr(0, dash)][std::stoi(number)] = name;
}

}  // namespace

GamesReadBack::GamesReadBack(const std::string& folder) : folder(folder) {
    std::error_code error;
    // UTF-8 both ways, which Windows must be told.
    for (std::filesystem::directory_iterator entry(std::filesystem::u8path(folder), error), end;
         !error && entry != end; entry.increment(error)) {
        addName(entry->path().filename().u8string(), files);
    }
}

std::vector<GameRecord> GamesReadBack::gamesOf(const std::string& base, const RoundTags& round,
                                               const BoardLabel& board, std::vector<std::string>& notes) const {
    std::vector<GameRecord> games;
    const auto found = files.find(base);
    if (found == files.end()) return games;
    const std::vector<std::pair<std::string, std::string>> expected{
        {"Event", round.event}, {"Site", round.site},   {"Round", round.round},
        {"White", board.white}, {"Black", board.black}, {"Board", std::to_string(board.number)}};
    for (const auto& [number, name] : found->second) {
        const std::string path = folder + "/" + name;
        std::string error;
        // Not through a link another program may have put in the folder.
        const std::optional<std::string> text = readInputFile(path, largestGameFile, error, false);
        if (!text) {
            notes.push_back(error + "; not taken up");
            continue;
        }
        draughts::PdnReader reader(*text);
        std::optional<draughts::PdnGame> game = reader.next();
        if (!game) {
            notes.push_back(path + ": " + (reader.error().empty() ? "no game" : reader.error()) + "; not taken up");
            continue;
        }
        bool ours = round.date.empty() || draughts::tagOf(*game, "Date") == round.date;
        for (const auto& [tag, value] : expected) ours = ours && draughts::tagOf(*game, tag) == value;
        if (!ours) {
            notes.push_back(path + ": the tags of another game; not taken up");
            continue;
        }
        std::optional<GameRecord> record = GameRecord::readBack(std::move(*game), name, error);
        if (!record) {
            notes.push_back(path + ": " + error + "; not taken up");
            continue;
        }
        games.push_back(std::move(*record));
    }
    return games;
}

}  // namespace boardwatch
