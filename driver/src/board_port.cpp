#include "board_port.h"

#include "serial_board_port.h"
#include "tcp_board_name.h"
#include "tcp_board_port.h"

namespace krvEBLowLevel {

PortOpening openBoardPort(const std::string& name, boost::asio::io_context& loop) {
    if (namesTcpBoard(name)) return TcpBoardPort::open(name, loop);
    return SerialBoardPort::open(name, loop);
}

}  // namespace krvEBLowLevel
