#include "watch.h"

#include <ctime>

#include "state_json.h"

namespace boardwatch {

namespace {

boost::asio::ip::tcp::endpoint pageEndpoint(boost::asio::io_context& context, const Endpoint& http) {
    boost::asio::ip::tcp::resolver resolver(context);
    return resolver.resolve(http.host, std::to_string(http.port))->endpoint();
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

Watch::Watch(boost::asio::io_context& context, const Options& options, ConsoleLog& console)
    : console(console),
      folder(options.pdnFolder),
      viewers(context, [this](std::size_t count) { this->console.line("page: " + std::to_string(count) + " watching"); }),
      server(context, pageEndpoint(context, options.http), *this) {
    for (const RelayAddress& relay : options.relays) boards.emplace_back(relay.text);
    for (std::size_t id = 0; id < options.relays.size(); ++id) {
        listeners.push_back(std::make_unique<BoardListener>(*this, id));
        clients.push_back(std::make_unique<RelayClient>(context, options.relays[id], *listeners.back()));
        clients.back()->start();
    }
}

void Watch::BoardListener::relayLine(const RelayLine& line, Time) {
    owner.changed(id, owner.boards[id].relayLine(line, stampNow()));
}

void Watch::BoardListener::linkChanged(LinkState state, const std::string& detail) {
    owner.changed(id, owner.boards[id].linkChanged(state, detail));
}

void Watch::changed(std::size_t id, const WatchedBoard::Changes& changes) {
    WatchedBoard& board = boards[id];
    for (const std::string& note : changes.notes) console.line(board.name() + ": " + note);
    if (changes.game) {
        if (GameRecord* game = board.gameToWrite()) {
            const std::string failure = folder.write(*game);
            if (!failure.empty()) console.line(board.name() + ": " + failure);
        }
    }
    if (viewers.count() == 0) return;
    if (changes.view) {
        viewers.publish("board", boardJson(board, id).dump());
    } else if (changes.movesAdded > 0 && board.game()) {
        viewers.publish("moves", movesJson(board, id, changes.movesAdded).dump());
    }
    if (changes.clock && !changes.view) viewers.publish("clock", clockJson(board, id).dump());
}

std::string Watch::stateJson() { return boardwatch::stateJson(boards).dump(2) + "\n"; }

void Watch::watch(boost::beast::tcp_stream stream) {
    viewers.join(std::move(stream), eventText("state", boardwatch::stateJson(boards).dump()));
}

}  // namespace boardwatch
