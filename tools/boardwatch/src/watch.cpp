#include "watch.h"

#include <boost/asio/post.hpp>
#include <boost/format.hpp>
#include <cctype>
#include <ctime>

#include "game_file_name.h"
#include "games_read_back.h"
#include "state_json.h"

namespace boardwatch {

namespace {

boost::asio::ip::tcp::endpoint pageEndpoint(boost::asio::io_context& context, const Endpoint& http) {
    boost::asio::ip::tcp::resolver resolver(context);
    return resolver.resolve(http.host, std::to_string(http.port))->endpoint();
}

PageSettings pageSettings(const Options& options, const Hall& hall, std::size_t maxConnections) {
    PageSettings settings{options.pageNames, maxConnections, hall.arbiterToken};
    std::string host = options.http.host;
    for (char& c : host) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    settings.names.push_back(host);
    return settings;
}

}  // namespace

Stamp stampNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char date[16], time[16];
    std::strftime(date, sizeof date, "%Y.%m.%d", &local);
    std::strftime(time, sizeof time, "%H:%M:%S", &local);
    return {date, time};
}

Watch::Watch(boost::asio::io_context& context, const Options& options, const Hall& hall, Console& console,
             std::size_t maxConnections)
    : context(context),
      console(console),
      viewers(context, [this](std::size_t count) { this->console.line("page: " + std::to_string(count) + " watching"); }),
      server(context, pageEndpoint(context, options.http), *this, pageSettings(options, hall, maxConnections)),
      writer(options.pdnFolder, console, [this](PdnWriter::GameId game, const std::string& name) {
          boost::asio::post(this->context, [this, game, name] { fileMade(game, name); });
      }) {
    for (const Pairing& pairing : hall.boards) {
        boards.emplace_back(pairing.relay.text, BoardLabel{pairing.board, pairing.white, pairing.black}, options.round);
        highestBoard = std::max(highestBoard, pairing.board);
    }
    // Games of an earlier run of the round, begun today or on its date.
    const GamesReadBack earlier(options.pdnFolder);
    const std::string today = stampNow().date;
    for (WatchedBoard& board : boards) {
        std::vector<std::string> notes;
        std::vector<GameRecord> games = earlier.gamesOf(fileBaseOf(board, today), board.round(), board.label(), notes);
        for (const std::string& note : notes) console.line(note);
        if (games.empty()) continue;
        console.line((boost::format("board %1%: %2% game%3% read back from %4%, the last taken up") %
                      board.label().number % games.size() % (games.size() == 1 ? "" : "s") % games.back().fileName)
                         .str());
        board.takeUpFrom(std::move(games));
    }
    writing.resize(boards.size());
    for (std::size_t id = 0; id < hall.boards.size(); ++id) {
        listeners.push_back(std::make_unique<BoardListener>(*this, id));
        clients.push_back(std::make_unique<RelayClient>(context, hall.boards[id].relay, *listeners.back()));
        clients.back()->start();
    }
}

void Watch::readConsole() {
    input = std::make_unique<ConsoleInput>(context, [this](const ConsoleLines::Line& line) { consoleLine(line); });
}

void Watch::finish() {
    input.reset();
    const std::size_t behind = writer.finish();
    if (behind > 0) console.line(std::to_string(behind) + " game files are not whole: the disk did not take them in time");
}

void Watch::BoardListener::relayLine(const RelayLine& line, Time) {
    owner.changed(id, owner.boards[id].relayLine(line, stampNow()));
}

void Watch::BoardListener::linkChanged(LinkState state, const std::string& detail) {
    owner.changed(id, owner.boards[id].linkChanged(state, detail));
}

PdnWriter::GameId Watch::gameIdOf(std::size_t board) const {
    return (static_cast<PdnWriter::GameId>(board) << 32) | boards[board].gamesBegun();
}

std::string Watch::fileBaseOf(const WatchedBoard& board, const std::string& date) const {
    return gameFileBase(board.round(), board.label(), highestBoard, date);
}

WatchedBoard* Watch::boardNumbered(int number) {
    for (WatchedBoard& board : boards) {
        if (board.label().number == number) return &board;
    }
    return nullptr;
}

void Watch::changed(std::size_t id, const WatchedBoard::Changes& changes) {
    WatchedBoard& board = boards[id];
    for (const std::string& note : changes.notes) console.line("board " + std::to_string(board.label().number) + ": " + note);
    if (changes.view || changes.game || changes.movesAdded > 0) round.reset();
    if (changes.game && board.game()) {
        const PdnWriter::GameId game = gameIdOf(id);
        if (writing[id] && *writing[id] != game) writer.close(*writing[id]);
        writing[id] = game;
        const GameRecord& record = *board.game();
        writer.write(game, fileBaseOf(board, record.began().date), record.fileName, record.pdn(),
                     record.moves().size());
    }
    if (viewers.count() == 0) return;
    for (const PageEvent& event : pageEventsOf(board, id, changes)) viewers.publish(event.name, event.data);
}

void Watch::fileMade(PdnWriter::GameId game, const std::string& name) {
    const auto board = static_cast<std::size_t>(game >> 32);
    if (board >= boards.size() || gameIdOf(board) != game || !boards[board].game()) return;
    boards[board].gameToWrite()->fileName = name;
    round.reset();
    if (viewers.count() > 0) {
        WatchedBoard::Changes changes;
        changes.view = true;
        for (const PageEvent& event : pageEventsOf(boards[board], board, changes)) viewers.publish(event.name, event.data);
    }
}

std::string Watch::enterResult(int number, const std::string& result) {
    WatchedBoard* board = boardNumbered(number);
    if (!board) return "no board " + std::to_string(number) + " in this round";
    std::string refusal;
    const WatchedBoard::Changes changes = board->enterResult(result, stampNow(), refusal);
    if (refusal.empty()) changed(static_cast<std::size_t>(board - boards.data()), changes);
    return refusal;
}

void Watch::consoleLine(const ConsoleLines::Line& line) {
    if (line.tooLong) return console.line("console: a line of more than 1 KiB is no command; dropped");
    std::string error;
    const std::optional<ConsoleCommand> command = readConsoleCommand(line.text, error);
    if (!command) return console.line("console: " + error);
    if (command->kind == ConsoleCommand::Kind::Help) return console.line(consoleHelp);
    if (command->kind != ConsoleCommand::Kind::Result) return;
    const std::string refusal = enterResult(command->board, command->result);
    if (!refusal.empty()) console.line("console: board " + std::to_string(command->board) + ": " + refusal);
}

void Watch::noteRefusedResult(const std::string& text) {
    if (auto line = refusedResults.take(text, std::chrono::steady_clock::now())) console.line(*line);
}

const RoundPdn& Watch::roundPdn() {
    if (!round) round = boardwatch::roundPdn(boards, stampNow().date);
    return *round;
}

std::string Watch::stateJson() { return jsonText(boardwatch::stateJson(boards), 2) + "\n"; }

void Watch::watch(boost::beast::tcp_stream stream, ConnectionSlot slot) {
    viewers.join(std::move(stream), eventText("state", jsonText(boardwatch::stateJson(boards))), std::move(slot));
}

}  // namespace boardwatch
