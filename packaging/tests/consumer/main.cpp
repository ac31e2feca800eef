// Uses the installed library as a draughts program would: a facade for a
// port, a command, and the error of a port that cannot be opened, which
// must be catchable across the library's boundary.
#include <boardio/boardio.h>

#include <exception>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    std::string port = argc > 1 ? argv[1] : "/nonexistent/board";
    krvEBLowLevel::krvEBLow board(port);
    krvEBLowLevel::CmdSendBrd request;
    std::cout << "port " << board.getPort() << ", state " << board.getState() << ", request " << request.code << "\n";
    try {
        board.open();
    } catch (const std::exception& error) {
        std::cout << "open failed: " << error.what() << "\n";
        return 0;
    }
    return 1;
}
