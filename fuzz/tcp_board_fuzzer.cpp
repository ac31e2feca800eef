// What reaches the driver when a board is served over TCP, from the two
// sides: the operator's "tcp:HOST:PORT" (any text after "tcp:"), and what a
// server says before it closes a connection at once (any bytes), which
// becomes part of an error text that consoles show unescaped.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "require.h"
#include "tcp_board_name.h"
#include "tcp_board_port.h"

using namespace krvEBLowLevel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string name = "tcp:" + input.ConsumeRandomLengthString(300);
    boost::system::error_code fault;
    const std::optional<TcpBoardName> board = readTcpBoardName(name, fault);
    require(board.has_value() != static_cast<bool>(fault), "a name is read, or its fault is given");
    if (board) {
        require(!board->host.empty() && board->port >= 1, "a name read has a host and a port");
        // The host and port shown in error texts read back as the same.
        boost::system::error_code again;
        const std::optional<TcpBoardName> shown = readTcpBoardName("tcp:" + board->where(), again);
        require(shown && shown->host == board->host && shown->port == board->port, "where() reads back the same");
        requireConsoleText(board->where());
    } else {
        requireConsoleText(fault.message());
    }

    const std::vector<unsigned char> said = input.ConsumeRemainingBytes<unsigned char>();
    const std::string farewell = TcpBoardPort::farewellText(said);
    requireConsoleText(farewell);
    require(farewell.find('\n') == std::string::npos, "the server's words stay on the error's line");
    require(farewell.size() <= 110, "the server's words are kept short");
    return 0;
}
