#ifndef BOARDWATCH_WATCH_H
#define BOARDWATCH_WATCH_H

// boardwatch put together: a relay client for each board, the boards' games
// and their files, the page's server with its viewers, and the console's
// commands. Everything runs on one io_context thread but the games' files
// (their writer's thread), the relays' name lookups and the console's
// input and output.

#include <boost/asio/io_context.hpp>
#include <memory>
#include <optional>
#include <vector>

#include "console.h"
#include "console_input.h"
#include "hall_setup.h"
#include "http_server.h"
#include "note_throttle.h"
#include "options.h"
#include "pdn_writer.h"
#include "relay_client.h"
#include "round_pdn.h"
#include "viewers.h"
#include "watched_board.h"

namespace boardwatch {

class Watch : public Site {
public:
    // Throws boost::system::system_error when the page's address cannot be
    // bound. Notes for the person running it go to console; the games of
    // an earlier run of the round are read back from the PDN folder.
    Watch(boost::asio::io_context& context, const Options& options, const Hall& hall, Console& console,
          std::size_t maxConnections);
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;

    boost::asio::ip::tcp::endpoint pageAddress() const { return server.local(); }
    // Commands typed at the console from now on.
    void readConsole();
    // At exit: the games' files get a bounded time to be written.
    void finish();

    std::string stateJson() override;
    const RoundPdn& roundPdn() override;
    bool hasBoard(int number) override { return boardNumbered(number) != nullptr; }
    std::string enterResult(int board, const std::string& result) override;
    void watch(boost::beast::tcp_stream stream, ConnectionSlot slot) override;
    void note(const std::string& text) override { console.line(text); }
    // At most one line a second: anyone may send them.
    void noteRefusedResult(const std::string& text) override;

private:
    // Hands one relay's lines and link changes to its board.
    class BoardListener : public RelayListener {
    public:
        BoardListener(Watch& watch, std::size_t id) : owner(watch), id(id) {}
        void relayLine(const RelayLine& line, Time now) override;
        void linkChanged(LinkState state, const std::string& detail) override;

    private:
        Watch& owner;
        std::size_t id;
    };

    void changed(std::size_t id, const WatchedBoard::Changes& changes);
    void fileMade(PdnWriter::GameId game, const std::string& name);
    void consoleLine(const ConsoleLines::Line& line);
    WatchedBoard* boardNumbered(int number);
    // The game a board plays now, as the writer knows it.
    PdnWriter::GameId gameIdOf(std::size_t board) const;
    std::string fileBaseOf(const WatchedBoard& board, const std::string& date) const;

    boost::asio::io_context& context;
    Console& console;
    int highestBoard = 0;
    std::vector<WatchedBoard> boards;  // in the order of their numbers
    // For each board, the game whose file is being written.
    std::vector<std::optional<PdnWriter::GameId>> writing;
    std::optional<RoundPdn> round;  // made when asked for, until the next change
    std::vector<std::unique_ptr<BoardListener>> listeners;
    std::vector<std::unique_ptr<RelayClient>> clients;
    Viewers viewers;
    HttpServer server;
    PdnWriter writer;
    NoteThrottle refusedResults;
    std::unique_ptr<ConsoleInput> input;
};

// The local date and time now, as a game's stamp.
Stamp stampNow();

}  // namespace boardwatch

#endif
