// The README's scenario from end to end: boardsim runs the script, damrelay
// relays it, and a draughts program's side of the connection sees the game,
// the pulled cable, the board back and the noise.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <thread>

#include "link_test_support.h"
#include "program_client.h"
#include "readme_examples.h"
#include "relay_process.h"

namespace {

using namespace std::chrono_literals;
using namespace testing_support;

bool isBoardDump(const std::string& line) {
    return line.size() == 50 && line.find_first_not_of("pPkK.") == std::string::npos;
}

TEST(Scenario, APulledCableAndNoiseReachTheProgramThroughTheRelayInTheirOrder) {
    linktest::ScratchDir scratch;
    const std::string script = scratch.path("scenario");
    {
        std::ofstream out(script);
        for (const std::string& line : scenarioScript()) out << line << "\n";
    }
    // Started as the relay is, its console on a pipe.
    RelayProcess board({"--link", scratch.boardLink(), "--pace", "20", "--script", script}, {BOARDSIM_BINARY});
    const int port = freeTcpPort();
    RelayProcess relay({"--map", "COM7=" + scratch.boardLink(), "--listen", "127.0.0.1", std::to_string(port)});
    ProgramClient program(port);
    ASSERT_TRUE(program.connected());
    ASSERT_TRUE(program.readLine(10s));  // the greeting
    for (auto deadline = std::chrono::steady_clock::now() + 10s; std::chrono::steady_clock::now() < deadline;) {
        program.sendLine("COM7");
        if (program.readLine(10s) == std::optional<std::string>("CONN")) break;
        std::this_thread::sleep_for(100ms);  // the board is not there yet
    }
    program.sendLine("67");

    // As a program would: after the failed read, ask for the board until it
    // answers again.
    std::vector<std::string> seen;
    bool pulled = false, back = false;
    auto nextAsk = std::chrono::steady_clock::now();
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (std::chrono::steady_clock::now() < deadline) {
        if (pulled && !back && std::chrono::steady_clock::now() >= nextAsk) {
            program.sendLine("66");
            nextAsk = std::chrono::steady_clock::now() + 700ms;
        }
        const std::optional<std::string> line = program.readLine(100ms);
        if (!line) continue;
        seen.push_back(*line);
        pulled = pulled || line->find("002 Could not read command") != std::string::npos;
        back = back || (pulled && isBoardDump(*line));
        if (*line == "ACK: GENERATED ACK (mode)") break;
    }
    program.sendLine("EXIT");
    ASSERT_TRUE(relay.waitForExit());
    const auto at = [&seen](const std::string& line) { return std::find(seen.begin(), seen.end(), line) - seen.begin(); };
    ASSERT_EQ(seen.back(), "ACK: GENERATED ACK (mode)") << ::testing::PrintToString(seen);
    // White's 12th move before the pull; black's answer after the noise.
    const auto pull = std::find_if(seen.begin(), seen.end(), [](const std::string& line) {
        return line.find("002 Could not read command") != std::string::npos;
    });
    EXPECT_LT(at("041P"), pull - seen.begin());
    // The noise is one run, reported once.
    EXPECT_EQ(std::count_if(pull, seen.end(), [](const std::string& line) { return line.find(" : 020 ") != std::string::npos; }), 1);
    EXPECT_NE(std::find(pull, seen.end(), "ERROR: 255 : 020 No command found, data loss possible (8 bytes)"), seen.end());
    std::vector<std::string> movesAfter;
    std::copy_if(pull, seen.end(), std::back_inserter(movesAfter), [](const std::string& line) {
        return line.size() == 4 && std::isdigit(static_cast<unsigned char>(line[0]));
    });
    EXPECT_EQ(movesAfter, (std::vector<std::string>{"001.", "007p", "033.", "028P", "006.", "011p"}));

    if (HasFailure()) std::cerr << "boardsim's console:\n" << board.console();
}

}  // namespace
