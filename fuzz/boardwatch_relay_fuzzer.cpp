// Any bytes a relay may send boardwatch, handled as boardwatch handles them:
// cut into lines as its client cuts them, each read, given to the relay
// session and to the board, with time passing between lines so that the
// session's timers fire. Whatever came, the state (/state.json), the
// page's events and the console's notes must be text that goes out whole:
// JSON that dumps with no replacement, events of one line, a game's PDN
// that reads back as the game.
//
// A line of one byte 0x00 stands for the connection ending and opening
// again, 0x01 for a name that was not found.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "draughts/pdn.h"
#include "relay_session.h"
#include "require.h"
#include "state_json.h"
#include "textio/utf8.h"
#include "watched_board.h"

using namespace boardwatch;

namespace {

const Stamp began{"2026.12.09", "14:03:22"};

// What a change tells the console and the viewers.
void check(const WatchedBoard& board, const WatchedBoard::Changes& changes) {
    for (const std::string& note : changes.notes) require(textio::validUtf8(note) == note, "a note is UTF-8");
    for (const PageEvent& event : pageEventsOf(board, 0, changes)) {
        require(event.data.find('\n') == std::string::npos, "an event's data is one line");
        // The strict dump throws on text that is no UTF-8: a crash here.
        (void)nlohmann::json::parse(event.data).dump();
    }
}

// What /state.json and the game's file hold at the end.
void checkEnd(const std::vector<WatchedBoard>& boards) {
    (void)stateJson(boards).dump();
    if (!boards[0].game()) return;
    const GameRecord& game = *boards[0].game();
    std::string error;
    const std::vector<draughts::PdnGame> read = draughts::readPdn(game.pdn(), error);
    require(read.size() == 1 && read[0].moves == game.moves() && read[0].result == game.result(),
            "a game's file reads back as the game");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    RelaySession session("COM3", "boardwatch");
    std::vector<WatchedBoard> boards{WatchedBoard("hall-3:50000/COM3", {3, "Jansen", "de Vries"}, RoundTags{})};
    Time now{};
    session.opened(now);
    const auto linkChanged = [&] {
        check(boards[0], boards[0].linkChanged(session.state(), session.detail()));
    };
    std::size_t from = 0;
    while (from < input.size()) {
        std::size_t end = input.find('\n', from);
        if (end == std::string::npos) end = input.size();
        const std::string line = input.substr(from, end - from);
        from = end + 1;
        now += std::chrono::milliseconds(400);
        if (line.size() == 1 && (line[0] == '\0' || line[0] == '\1')) {
            session.closed("gone", line[0] == '\0' ? Closure::Lost : Closure::NameNotFound);
            linkChanged();
            session.opened(now);
            continue;
        }
        (void)session.takeDue(now);
        const RelayLine read = readRelayLine(line);
        require(textio::validUtf8(read.text) == read.text, "a relay line's text is UTF-8");
        const RelaySession::Output output = session.received(read, now);
        for (const std::string& sent : output.lines) require(sent.find('\n') == std::string::npos, "one line a request");
        check(boards[0], boards[0].relayLine(read, began));
        linkChanged();
        if (output.hangUp) {
            session.closed("no answer from the relay");
            linkChanged();
            session.opened(now);
        }
    }
    checkEnd(boards);
    return 0;
}
