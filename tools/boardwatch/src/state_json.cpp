#include "state_json.h"

#include <draughts/fen.h>

namespace boardwatch {

namespace {

const char* statusOf(draughts::MoveTracker::Status status) {
    using Status = draughts::MoveTracker::Status;
    switch (status) {
        case Status::NoBoard: return "no position yet";
        case Status::InPosition: return "in position";
        case Status::MoveUnderway: return "move underway";
        case Status::Unrecognised: return "unrecognised position";
    }
    return "";
}

std::string lettersOf(const draughts::Position& position) {
    std::string letters;
    for (int square = 1; square <= draughts::squareCount; ++square) letters += draughts::letterOf(position.at(square));
    return letters;
}

}  // namespace

nlohmann::json boardJson(const WatchedBoard& board, std::size_t id) {
    const draughts::MoveTracker& tracker = board.tracker();
    const bool seen = tracker.status() != draughts::MoveTracker::Status::NoBoard;
    nlohmann::json json{
        {"id", id},
        {"number", board.label().number},
        {"white", board.label().white},
        {"black", board.label().black},
        {"relay", board.name()},
        {"link", nameOf(board.link())},
        {"linkDetail", board.linkDetail()},
        {"status", statusOf(tracker.status())},
        {"position", seen ? nlohmann::json(draughts::fenOf(tracker.position())) : nlohmann::json()},
        {"board", seen ? lettersOf(tracker.position()) : std::string()},
        {"sideKnown", tracker.sideKnown()},
    };
    const std::optional<GameRecord>& game = board.game();
    json["start"] = game ? nlohmann::json(draughts::fenOf(game->start())) : nlohmann::json();
    json["moves"] = game ? game->moves() : std::vector<std::string>{};
    json["result"] = game ? game->result() : "*";
    json["file"] = game ? game->fileName : "";
    json["clock"] = board.clock() ? nlohmann::json{{"white", board.clock()->white}, {"black", board.clock()->black}}
                                  : nlohmann::json();
    return json;
}

nlohmann::json movesJson(const WatchedBoard& board, std::size_t id, std::size_t added) {
    const std::vector<std::string>& moves = board.game()->moves();
    return {{"id", id},
            {"added", std::vector<std::string>(moves.end() - static_cast<long>(std::min(added, moves.size())), moves.end())},
            {"count", moves.size()},
            {"position", draughts::fenOf(board.tracker().position())},
            {"board", lettersOf(board.tracker().position())},
            {"sideKnown", board.tracker().sideKnown()},
            {"result", board.game()->result()},
            {"status", statusOf(board.tracker().status())},
            {"file", board.game()->fileName}};
}

nlohmann::json clockJson(const WatchedBoard& board, std::size_t id) {
    nlohmann::json json{{"id", id}, {"white", nullptr}, {"black", nullptr}};
    if (board.clock()) {
        json["white"] = board.clock()->white;
        json["black"] = board.clock()->black;
    }
    return json;
}

nlohmann::json stateJson(const std::vector<WatchedBoard>& boards) {
    nlohmann::json list = nlohmann::json::array();
    for (std::size_t id = 0; id < boards.size(); ++id) list.push_back(boardJson(boards[id], id));
    nlohmann::json json{{"boards", std::move(list)}};
    if (!boards.empty()) {
        const RoundTags& round = boards.front().round();
        json["round"] = {{"event", round.event}, {"site", round.site}, {"date", round.date}, {"round", round.round}};
    }
    return json;
}

std::string jsonText(const nlohmann::json& json, int indent) {
    return json.dump(indent, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::vector<PageEvent> pageEventsOf(const WatchedBoard& board, std::size_t id, const WatchedBoard::Changes& changes) {
    std::vector<PageEvent> events;
    if (changes.view) {
        events.push_back({"board", jsonText(boardJson(board, id))});
    } else if (changes.movesAdded > 0 && board.game()) {
        events.push_back({"moves", jsonText(movesJson(board, id, changes.movesAdded))});
    }
    if (changes.clock && !changes.view) events.push_back({"clock", jsonText(clockJson(board, id))});
    return events;
}

}  // namespace boardwatch
