#ifndef DAMRELAY_TESTS_RELAY_FIXTURE_H
#define DAMRELAY_TESTS_RELAY_FIXTURE_H

// The relay program from end to end: started as a process, a draughts program
// on TCP at one end and a virtual board on a pseudo-terminal at the other.

#include <boardio/boardio.h>
#include <gtest/gtest.h>
#include <virtualboard/virtual_board.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "program_client.h"
#include "relay_process.h"

namespace testing_support {

using namespace std::chrono_literals;
using virtualboard::Bytes;
using virtualboard::VirtualBoard;

inline const std::string banner = "KRV Draughts Server\nv2.1 Console 2011-06-28\n\n";
inline const std::string usage =
    "usage:\n"
    "  damrelay [<socket port> [COM<1-4>]]\n"
    "default values:\n"
    "  socket port is 50000 (Quorvin default)\n"
    "  COM    port is none  (draughts program controlled)\n"
    "examples:\n"
    "  damrelay\n"
    "  damrelay 50000\n"
    "  damrelay 50000 COM3\n";
inline const std::string prompt = "Type anything and enter to exit ";
inline const std::string greeting = "#KRV Draughts Server v2.1 Console 2011-06-28";

// The text the driver gives for a frame, as the program must receive it.
inline std::string textOf(const Bytes& frame) {
    std::vector<unsigned char> buffer(krvEBLowLevel::frameCapacity, 0);
    std::copy(frame.begin(), frame.end(), buffer.begin());
    const std::shared_ptr<krvEBLowLevel::Message> message = krvEBLowLevel::createMessage(buffer.data());
    std::string text;
    if (message) message->getText(text);
    return text;
}

inline Bytes fieldUpdate(int square, int piece) {
    return VirtualBoard::frame(0x8E, {static_cast<unsigned char>(square), static_cast<unsigned char>(piece)});
}

inline Bytes textPayload(const std::string& text) { return Bytes(text.begin(), text.end()); }

inline std::size_t count(const std::string& text, const std::string& part) {
    std::size_t found = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++found;
    return found;
}

// A relay in program-controlled mode whose COM7 is the virtual board.
class RelayTest : public ::testing::Test {
protected:
    void startRelay(std::vector<std::string> arguments = {}) {
        std::vector<std::string> all{"--map", "COM7=" + board.devicePath()};
        all.insert(all.end(), arguments.begin(), arguments.end());
        if (arguments.empty()) all.push_back(std::to_string(port));
        relay = std::make_unique<RelayProcess>(all);
    }
    void connectProgram() {
        program = std::make_unique<ProgramClient>(port);
        ASSERT_TRUE(program->connected());
        ASSERT_EQ(program->readLine(), greeting);
    }
    void connectBoard() {
        program->sendLine("COM7");
        ASSERT_EQ(program->readLine(), "CONN");
    }
    void startConnected() {
        startRelay();
        connectProgram();
        connectBoard();
    }

    VirtualBoard board;
    const int port = freeTcpPort();
    std::unique_ptr<RelayProcess> relay;
    std::unique_ptr<ProgramClient> program;
};

}  // namespace testing_support

#endif
