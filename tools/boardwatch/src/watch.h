#ifndef BOARDWATCH_WATCH_H
#define BOARDWATCH_WATCH_H

// boardwatch put together: a relay client for each board, the boards' games
// and their files, and the page's server with its viewers. Everything runs
// on one io_context thread.

#include <boost/asio/io_context.hpp>
#include <memory>
#include <vector>

#include "console_log.h"
#include "http_server.h"
#include "options.h"
#include "pdn_folder.h"
#include "relay_client.h"
#include "viewers.h"
#include "watched_board.h"

namespace boardwatch {

class Watch : public Site {
public:
    // Throws boost::system::system_error when the page's address cannot be
    // bound. Notes for the person running it go to console.
    Watch(boost::asio::io_context& context, const Options& options, ConsoleLog& console);
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;

    boost::asio::ip::tcp::endpoint pageAddress() const { return server.local(); }

    std::string stateJson() override;
    void watch(boost::beast::tcp_stream stream) override;
    void note(const std::string& text) override { console.line(text); }

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

    ConsoleLog& console;
    PdnFolder folder;
    std::vector<WatchedBoard> boards;
    std::vector<std::unique_ptr<BoardListener>> listeners;
    std::vector<std::unique_ptr<RelayClient>> clients;
    Viewers viewers;
    HttpServer server;
};

// The local date and time now, as a game's stamp.
Stamp stampNow();

}  // namespace boardwatch

#endif
