// Any bytes typed at boardwatch's console, cut into lines and read as
// commands as boardwatch reads them, each result entered on a board that
// follows a short game: whatever was typed, a line is never longer than
// its bound, a command names a board and a result there are, and the game
// with whatever result it was given reads back from its PDN as itself.

#include <cstddef>
#include <cstdint>
#include <string>

#include "console_command.h"
#include "draughts/pdn.h"
#include "require.h"
#include "textio/console_text.h"
#include "watched_board.h"

using namespace boardwatch;

namespace {

const Stamp began{"2026.12.09", "14:03:22"};
const char* const start = "pppppppppppppppppppp..........PPPPPPPPPPPPPPPPPPPP";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    WatchedBoard board("hall-3:50000/COM3", {3, "Jansen", "de Vries"}, RoundTags{});
    // The first byte: whether the board shows a game, and its first move.
    if (size > 0 && (data[0] & 1)) {
        board.relayLine(readRelayLine(start), began);
        if (data[0] & 2) {
            for (const char* change : {"032.", "028P"}) board.relayLine(readRelayLine(change), began);
        }
    }
    ConsoleLines lines;
    // In two parts, as reads give them.
    for (const std::string_view part : {bytes.substr(0, size / 2), bytes.substr(size / 2)}) {
        for (const ConsoleLines::Line& line : lines.take(part)) {
            require(line.text.size() <= ConsoleLines::longestLine, "a line is no longer than its bound");
            requireConsoleText(textio::escapedForConsole(line.text) + "\n");
            std::string error;
            const std::optional<ConsoleCommand> command = readConsoleCommand(line.text, error);
            require(command.has_value() == error.empty(), "a command, or why not");
            if (!command || command->kind != ConsoleCommand::Kind::Result) continue;
            require(command->board >= 1 && isResult(command->result), "a result names a board and is one");
            std::string refusal;
            board.enterResult(command->result, began, refusal);
        }
    }
    if (!board.game()) return 0;
    std::string error;
    const std::vector<draughts::PdnGame> read = draughts::readPdn(board.game()->pdn(), error);
    require(read.size() == 1 && read[0].moves == board.game()->moves() && read[0].result == board.game()->result(),
            "the game reads back as itself");
    return 0;
}
