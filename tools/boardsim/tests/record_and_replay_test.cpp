// A session recorded through the relay, with a board that makes noise, tears
// a frame and loses its cable, played again by boardsim --replay against the
// program's requests from the recording: the program hears the same lines in
// the same order.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#include "link_test_support.h"
#include "program_client.h"
#include "relay_process.h"

namespace {

using namespace std::chrono_literals;
using namespace testing_support;
using Clock = std::chrono::steady_clock;
using Lines = std::vector<std::string>;

bool contains(const Lines& lines, const std::string& part) {
    return std::any_of(lines.begin(), lines.end(),
                       [&part](const std::string& line) { return line.find(part) != std::string::npos; });
}

// One line each, so that a failure shows where the two differ.
std::string joined(const Lines& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + '\n';
    return text;
}

std::string contentOf(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The lines of a recording of one kind, with their times.
struct Timed {
    std::chrono::milliseconds at;
    std::string text;
};
std::vector<Timed> linesOf(const std::string& recording, const std::string& kind) {
    std::vector<Timed> found;
    std::istringstream lines(recording);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        long long at = 0;
        std::string word, rest;
        if (!(words >> at >> word) || word != kind) continue;
        std::getline(words >> std::ws, rest);
        found.push_back({std::chrono::milliseconds(at), rest});
    }
    return found;
}

// A relay on its own port, mapping COM7 to the board's link, and the program
// connected to it.
struct Session {
    Session(const std::string& boardLink, std::vector<std::string> more)
        : relay([&] {
              std::vector<std::string> arguments = {"--map", "COM7=" + boardLink, "--listen", "127.0.0.1"};
              arguments.insert(arguments.end(), more.begin(), more.end());
              arguments.push_back(std::to_string(port));
              return arguments;
          }()),
          program(port) {}

    const int port = freeTcpPort();
    RelayProcess relay;
    ProgramClient program;
    Lines heard;  // but the greeting
};

TEST(RecordAndReplay, TheProgramHearsTheSameLinesFromTheReplayAsFromTheSession) {
    linktest::ScratchDir scratch;
    const std::string script = scratch.path("script"), recording = scratch.path("session.rec");
    {
        std::ofstream out(script);
        out << "1. 32-28 18-23\nnoise 5\ntear\n2. 37-32 12-18\nwait 300\npull\nwait 1500\nplug\nwait 1500\n"
               "noise 3\n3. 41-37 7-12\nkey mode\n";
    }
    const std::string last = "ACK: GENERATED ACK (mode)";

    // The session, as a program would run it: the board connected and its
    // updates on, and after the failed read the board asked for again, a
    // moment after each answer, until it is back.
    Lines recorded;
    {
        RelayProcess board({"--link", scratch.boardLink(), "--pace", "20", "--script", script}, {BOARDSIM_BINARY});
        ASSERT_TRUE(board.waitForConsole("board on ")) << board.console();
        Session session(scratch.boardLink(), {"--record", recording});
        ASSERT_TRUE(session.program.readLine(10s));  // the greeting
        session.program.sendLine("COM7");
        ASSERT_EQ(session.program.readLine(10s), std::optional<std::string>("CONN"));
        session.heard.push_back("CONN");
        session.program.sendLine("67");
        const Clock::time_point never = Clock::time_point::max();
        Clock::time_point ask = never;
        for (const auto deadline = Clock::now() + 30s; Clock::now() < deadline;) {
            if (Clock::now() >= ask) {
                session.program.sendLine("66");
                ask = never;
            }
            const std::optional<std::string> line = session.program.readLine(20ms);
            if (!line) continue;
            session.heard.push_back(*line);
            const bool failed = line->find(" 002 Could not read command") != std::string::npos ||
                                line->find(" 010 Could not write data") != std::string::npos;
            if (failed) ask = Clock::now() + 300ms;
            if (*line == last) break;
        }
        session.program.sendLine("EXIT");
        ASSERT_TRUE(session.relay.waitForExit());
        recorded = session.heard;
        if (HasFailure()) std::cerr << "boardsim's console:\n" << board.console();
    }
    ASSERT_EQ(recorded.back(), last) << ::testing::PrintToString(recorded);
    // What the test is about: noise, a torn frame, the pull and the board back.
    for (const char* fault : {" : 020 No command found", " : 021 Invalid frame size", " : 002 Could not read command",
                              " : 011 Could not reopen port"}) {
        EXPECT_TRUE(contains(recorded, fault)) << fault << " in " << ::testing::PrintToString(recorded);
    }
    // The recording has every line the program got.
    const std::string text = contentOf(recording);
    Lines relayed;
    for (const Timed& line : linesOf(text, "relay")) relayed.push_back(line.text);
    EXPECT_EQ(joined(relayed), joined(recorded)) << text;

    // The replay, against the recording's requests at their times, counted
    // from the first; the end waits for the lines.
    Lines replayed;
    {
        RelayProcess board({"--link", scratch.boardLink(), "--replay", recording}, {BOARDSIM_BINARY});
        ASSERT_TRUE(board.waitForConsole("board on ")) << board.console();
        Session session(scratch.boardLink(), {});
        ASSERT_TRUE(session.program.readLine(10s));  // the greeting
        const std::vector<Timed> requests = linesOf(text, "program");
        ASSERT_FALSE(requests.empty());
        const auto begun = Clock::now();
        std::size_t next = 0;
        for (const auto deadline = begun + 30s; Clock::now() < deadline && session.heard.size() < recorded.size();) {
            while (next < requests.size() && requests[next].text != "EXIT" &&
                   Clock::now() - begun >= requests[next].at - requests.front().at) {
                session.program.sendLine(requests[next++].text);
            }
            if (const std::optional<std::string> line = session.program.readLine(5ms)) session.heard.push_back(*line);
        }
        session.program.sendLine("EXIT");
        EXPECT_TRUE(session.relay.waitForExit());
        replayed = session.heard;
        if (replayed != recorded) std::cerr << "boardsim's console:\n" << board.console();
    }
    EXPECT_EQ(joined(replayed), joined(recorded));
}

}  // namespace
