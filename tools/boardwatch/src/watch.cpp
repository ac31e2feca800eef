#include "watch.h"

#include <boost/asio/post.hpp>
#include <cctype>
#include <ctime>

#include "state_json.h"

namespace boardwatch {

namespace {

boost::asio::ip::tcp::endpoint pageEndpoint(boost::asio::io_context& context, const Endpoint& http) {
    boost::asio::ip::tcp::resolver resolver(context);
    return resolver.resolve(http.host, std::to_string(http.port))->endpoint();
}

PageSettings pageSettings(const Options& options, std::size_t maxConnections) {
    PageSettings settings{options.pageNames, maxConnections};
    std::string host = options.http.host;
    for (char& c : host) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    settings.names.push_back(host);
    return settings;
}

}  // namespace

Stamp stampNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char date[16], time[16];
    std::strftime(date, sizeof date, "%Y.%m.%d", &local);
    std::strftime(time, sizeof time, "%H:%M:%S", &local);
    return {date, time};
}

Watch::Watch(boost::asio::io_context& context, const Options& options, Console& console, std::size_t maxConnections)
    : context(context),
      console(console),
      viewers(context, [this](std::size_t count) { this->console.line("page: " + std::to_string(count) + " watching"); }),
      server(context, pageEndpoint(context, options.http), *this, pageSettings(options, maxConnections)),
      writer(options.pdnFolder, console, [this](PdnWriter::GameId game, const std::string& name) {
          boost::asio::post(this->context, [this, game, name] { fileMade(game, name); });
      }) {
    for (const RelayAddress& relay : options.relays) boards.emplace_back(relay.text);
    writing.resize(boards.size());
    for (std::size_t id = 0; id < options.relays.size(); ++id) {
        listeners.push_back(std::make_unique<BoardListener>(*this, id));
        clients.push_back(std::make_unique<RelayClient>(context, options.relays[id], *listeners.back()));
        clients.back()->start();
    }
}

void Watch::finish() {
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

void Watch::changed(std::size_t id, const WatchedBoard::Changes& changes) {
    WatchedBoard& board = boards[id];
    for (const std::string& note : changes.notes) console.line(board.name() + ": " + note);
    if (changes.game && board.game()) {
        const PdnWriter::GameId game = gameIdOf(id);
        if (writing[id] && *writing[id] != game) writer.close(*writing[id]);
        writing[id] = game;
        const GameRecord& record = *board.game();
        writer.write(game, fileNameOf(record.board(), record.began()), record.pdn(), record.moves().size());
    }
    if (viewers.count() == 0) return;
    for (const PageEvent& event : pageEventsOf(board, id, changes)) viewers.publish(event.name, event.data);
}

void Watch::fileMade(PdnWriter::GameId game, const std::string& name) {
    const auto board = static_cast<std::size_t>(game >> 32);
    if (board >= boards.size() || gameIdOf(board) != game || !boards[board].game()) return;
    boards[board].gameToWrite()->fileName = name;
}

std::string Watch::stateJson() { return jsonText(boardwatch::stateJson(boards), 2) + "\n"; }

void Watch::watch(boost::beast::tcp_stream stream, ConnectionSlot slot) {
    viewers.join(std::move(stream), eventText("state", jsonText(boardwatch::stateJson(boards))), std::move(slot));
}

}  // namespace boardwatch
