// The relay against programs and boards that misbehave: it stays up, answers,
// keeps its memory bounded and loses nothing without saying so.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <future>
#include <random>
#include <sstream>
#include <thread>

#include <gmock/gmock.h>

#include "child_process.h"
#include "link_test_support.h"
#include "relay_fixture.h"

namespace {

using namespace std::chrono_literals;
using namespace testing_support;
using virtualboard::Bytes;
using virtualboard::VirtualBoard;

// A board message whose line is about a kilobyte long.
Bytes longLineFrame() { return VirtualBoard::frame(0x92, textPayload(std::string(9000, 'T'))); }

// Waits until the relay has sent no new line for a second: it has either
// filled every buffer towards a program that does not read, or let the
// program go.
void waitUntilSendingStalls(const RelayProcess& relay) {
    const auto deadline = std::chrono::steady_clock::now() + 120s;
    std::size_t sent = 0;
    for (;;) {
        std::this_thread::sleep_for(1s);
        const std::size_t now = count(relay.console(), "send: '");
        if (now == sent || std::chrono::steady_clock::now() > deadline) return;
        sent = now;
    }
}

TEST_F(RelayTest, AProgramThatStopsReadingIsLetGoAndNeverHoldsUpTheBoard) {
    startConnected();
    // The program reads nothing while the board keeps sending.
    std::atomic<bool> flooding{true};
    std::thread flood([&] {
        // A frame the deadline cut short is finished first: a new frame
        // after part of one would reach the relay as stray bytes.
        const Bytes frame = longLineFrame();
        std::size_t sent = 0;
        while (flooding) {
            sent += board.writeSome(frame.data() + sent, frame.size() - sent, std::chrono::steady_clock::now() + 100ms);
            if (sent == frame.size()) sent = 0;
        }
    });
    ASSERT_TRUE(relay->waitForConsole("send: 'TTTT"));
    waitUntilSendingStalls(*relay);
    // The relay went on reading the board until it let the program go.
    EXPECT_TRUE(relay->waitForConsole("*** error: Draughts program does not read: "));
    EXPECT_EQ(relay->waitForExit(20s), 0);
    flooding = false;
    flood.join();
    EXPECT_TRUE(relay->waitForConsole("Message Listener stopped\n"));
    // What was sent before arrives whole, then the end of the connection.
    const std::string longLine = textOf(longLineFrame());
    while (const std::optional<std::string> line = program->readLine(2s)) ASSERT_EQ(*line, longLine);
    EXPECT_TRUE(program->waitForClose());
}

TEST_F(RelayTest, AConsoleNobodyReadsHoldsUpNeitherBoardLinesNorRequests) {
    // The relay's console is a pipe that this test reads only at the end.
    const linktest::ScratchDir scratch;
    const std::string fifo = scratch.path("console");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int console = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    relay = std::make_unique<RelayProcess>(
        std::vector<std::string>{"--map", "COM7=" + board.devicePath(), std::to_string(port)},
        std::vector<std::string>{"/bin/sh", "-c", "exec \"$0\" \"$@\" >" + fifo, DAMRELAY_BINARY});
    connectProgram();
    connectBoard();

    // About 2 MB of console lines: more than the pipe and the relay's
    // console queue hold together.
    const Bytes frame = VirtualBoard::frame(0x92, textPayload(std::string(1000, 'T')));
    constexpr int frames = 2000;
    std::thread boardSends([&] {
        Bytes all;
        for (int i = 0; i < frames; ++i) all.insert(all.end(), frame.begin(), frame.end());
        board.writeBytesUntil(all, std::chrono::steady_clock::now() + 20s);
    });
    int linesRead = 0;
    while (linesRead < frames && program->readLine(10s) == textOf(frame)) ++linesRead;
    boardSends.join();
    EXPECT_EQ(linesRead, frames);
    program->sendLine("66");
    EXPECT_EQ(board.read(1, 5s), Bytes{0x42});

    // Read at last: the console says how many lines it dropped, and its
    // last line is still the reason the relay ended.
    std::string shown;
    std::thread reader([&] {
        ::fcntl(console, F_SETFL, 0);
        char buffer[65536];
        for (ssize_t got; (got = ::read(console, buffer, sizeof buffer)) > 0;) {
            shown.append(buffer, static_cast<std::size_t>(got));
        }
    });
    program->sendLine("EXIT");
    EXPECT_EQ(relay->waitForExit(), 0);
    reader.join();
    ::close(console);
    EXPECT_NE(shown.find("*** the console did not keep up, lines dropped: "), std::string::npos);
    const std::string ending = "received: EXIT\ndraughts program requested exit\n";
    ASSERT_GE(shown.size(), ending.size());
    EXPECT_EQ(shown.substr(shown.size() - ending.size()), ending);
}

TEST_F(RelayTest, RepliesKeepTheirPlaceBehindBoardLinesTheProgramHasNotReadYet) {
    startConnected();
    constexpr int frames = 150;  // more than the socket buffers hold at first
    for (int i = 0; i < frames; ++i) board.writeBytes(longLineFrame());
    // Taken from the board, so that the disconnect cannot cut them off.
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (count(relay->console(), "send: 'TTTT") < frames && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(10ms);
    }
    program->sendLine("DISC");
    program->sendLine("EXIT");
    EXPECT_EQ(relay->waitForExit(20s), 0);
    const std::string longLine = textOf(longLineFrame());
    int longLines = 0;
    std::optional<std::string> line;
    while ((line = program->readLine()) && *line == longLine) ++longLines;
    EXPECT_EQ(longLines, frames);
    EXPECT_EQ(line, std::optional<std::string>("DISCONN"));
    EXPECT_TRUE(program->waitForClose());
}

TEST_F(RelayTest, RequestsFloodingABoardThatDoesNotReadAreReportedInRunsAndTheRelayGoesOn) {
    startConnected();
    // Twice what the driver keeps waiting for a board that reads nothing.
    constexpr std::size_t requests = 120000;
    const std::string dropReport = "ERROR: 255 : 012 Command dropped: the board is not keeping up (";
    std::atomic<std::size_t> dropped{0}, dropReports{0};
    std::promise<void> floodTaken;
    std::atomic<bool> disconnected{false};
    const auto floodBegan = std::chrono::steady_clock::now();
    std::thread reader([&] {
        while (const std::optional<std::string> line = program->readLine(60s)) {
            if (line->rfind(dropReport, 0) == 0) {
                const std::size_t run = linktest::countOfRun(*line);
                EXPECT_EQ(*line, dropReport + std::to_string(run) + (run == 1 ? " command)" : " commands)"));
                dropped += run;
                ++dropReports;
            }
            if (*line == "CONN") floodTaken.set_value();
            if (*line == "DISCONN") {
                disconnected = true;
                return;
            }
        }
    });
    const std::string burst = [] {
        std::string lines;
        for (int i = 0; i < 1000; ++i) lines += "66\n";
        return lines;
    }();
    for (std::size_t i = 0; i < requests / 1000; ++i) program->send(burst);
    // Asking again for the board it has is answered in turn, behind every
    // request before it. (Not a console line: the console may drop lines
    // when its reader lags, and a flood is when it lags.)
    program->sendLine("COM7");
    if (floodTaken.get_future().wait_for(240s) != std::future_status::ready) {
        program->sendLine("DISC");
        reader.join();
        FAIL() << "the relay did not answer after the flood";
    }
    // The board reads at last: what waited arrives (the driver's bound and
    // what the terminal itself holds), then a new request.
    const Bytes arrived = board.readUntilQuiet(2s, 60s);
    EXPECT_LT(arrived.size(), requests);
    EXPECT_EQ(std::count(arrived.begin(), arrived.end(), 0x42), static_cast<long>(arrived.size()));
    program->sendLine("77");
    EXPECT_EQ(board.read(1, 10s), Bytes{0x4D});
    program->sendLine("DISC");
    reader.join();
    EXPECT_TRUE(disconnected);
    EXPECT_EQ(dropped + arrived.size(), requests);
    // One line a run, at most four a second, never one a request.
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - floodBegan);
    EXPECT_GE(dropReports, 1u);
    EXPECT_LE(dropReports, 4u * static_cast<std::size_t>(seconds.count() + 1));
}

TEST_F(RelayTest, HugeLinesAndBinaryGarbageAreHandledAndKeptOutOfTheTerminal) {
    startRelay();
    connectProgram();
    program->send(std::string(1024 * 1024, 'x') + "\n");
    EXPECT_EQ(program->readLine(), "ERROR");
    std::mt19937 random(7);
    std::string garbage;
    for (int i = 0; i < 4096; ++i) {
        // No digits and no letters: no line of it is a request or a control line.
        const char pick[] = {'\0', '\r', '\n', '\x1b', '\x07', '\x7f', '\x9b', '\xc2', '\xff', ' ', '['};
        garbage += pick[random() % sizeof pick];
    }
    program->send(garbage + "\n");
    // Every line of it that is not empty without its CR is a request
    // without a board.
    std::size_t requests = 0;
    for (std::size_t start = 0, end; (end = garbage.find('\n', start)) != std::string::npos || start < garbage.size();
         start = end + 1) {
        if (end == std::string::npos) end = garbage.size();
        if (end > start && garbage.compare(start, end - start, "\r") != 0) ++requests;
    }
    for (std::size_t i = 0; i < requests; ++i) ASSERT_EQ(program->readLine(), "ERROR") << i;
    connectBoard();
    program->sendLine("66");
    EXPECT_EQ(board.read(1, 10s), Bytes{0x42});
    // The console has a writer of its own, which may lag behind under load.
    EXPECT_TRUE(relay->waitForConsole("** not connected, ignore command: " + std::string(200, 'x') +
                                      "... (65536 bytes)\n"));
    EXPECT_TRUE(relay->waitForConsole("send: 'CONN'"));
    const std::string console = relay->console();
    EXPECT_EQ(console.find('\x1b'), std::string::npos);
    EXPECT_EQ(console.find('\x07'), std::string::npos);
    EXPECT_EQ(console.find('\x9b'), std::string::npos);
    EXPECT_NE(console.find("\\x1B"), std::string::npos);
}

TEST_F(RelayTest, ABoardPulledOutAndPutBackCostsNoRequestAndConnectRequestsTellTheTruth) {
    const linktest::ScratchDir scratch;
    const std::string link = scratch.boardLink();
    std::unique_ptr<ChildProcess> boardsim;
    const auto plugIn = [&] {
        boardsim = std::make_unique<ChildProcess>(
            std::vector<std::string>{BOARDSIM_BINARY, "--link", link, "--pace", "0"});
        ASSERT_TRUE(boardsim->waitForConsole("link " + link + " -> "));
    };
    const auto pullOut = [&] { boardsim->stop({}, SIGTERM); };
    const auto ask = [&](const std::string& line) {
        program->sendLine(line);
        return program->readLine();
    };
    // The board's side of the terminal closed: the end of input or, when the
    // hangup comes first, an input/output error.
    const auto readFailed = testing::AnyOf("ERROR: 255 : 002 Could not read command: asio.misc:2",
                                           "ERROR: 255 : 002 Could not read command: system:5");
    plugIn();
    startRelay({"--map", "COM3=" + link, std::to_string(port)});
    connectProgram();
    ASSERT_EQ(ask("COM3"), "CONN");
    EXPECT_EQ(ask("77"), "01.00");

    // Pulled out: asking for the port again is no use while the board is
    // away, and opens it once the board is back.
    pullOut();
    EXPECT_THAT(program->readLine(), testing::Optional(readFailed));
    EXPECT_EQ(ask("COM3"), "ERROR");
    plugIn();
    EXPECT_EQ(ask("COM3"), "CONN");
    EXPECT_EQ(ask("77"), "01.00");

    // Pulled out and put back: the next request opens the port again itself
    // and reaches the board.
    pullOut();
    EXPECT_THAT(program->readLine(), testing::Optional(readFailed));
    plugIn();
    EXPECT_EQ(ask("77"), "01.00");
    EXPECT_EQ(ask("DISC"), "DISCONN");
}

TEST_F(RelayTest, ARunOfStrayBytesIsOneLineAndTheFrameAfterItArrives) {
    startConnected();
    Bytes noise(2000, 0x05);
    const Bytes frame = fieldUpdate(23, 1);
    noise.insert(noise.end(), frame.begin(), frame.end());
    board.writeBytes(noise);
    EXPECT_EQ(program->readLine(), "ERROR: 255 : 020 No command found, data loss possible (2000 bytes)");
    EXPECT_EQ(program->readLine(), "023P");
}

TEST_F(RelayTest, ARecordingThatCannotBeCreatedIsNamedAtOnceAndTheRelayEnds) {
    const linktest::ScratchDir scratch;
    const struct {
        std::string path;
        std::string why;
    } cases[] = {
        {scratch.path("missing/session.rec"), "No such file or directory"},
        {scratch.path(""), "Is a directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        relay = std::make_unique<RelayProcess>(std::vector<std::string>{"--record", c.path, std::to_string(port)});
        EXPECT_EQ(relay->waitForExit(), 1);
        EXPECT_NE(relay->consoleAtEnd().find("*** error: cannot write the recording '" + c.path + "': " + c.why + "\n"),
                  std::string::npos)
            << relay->console();
    }
}

// A recording to a FIFO whose reader comes once the session runs and reads
// it all, or opens it and never reads.
class RecordingToAFifo : public RelayTest, public ::testing::WithParamInterface<bool> {};

TEST_P(RecordingToAFifo, HoldsUpNeitherTheStartNorTheBoardNorTheEnd) {
    const bool readerReads = GetParam();
    const linktest::ScratchDir scratch;
    const std::string fifo = scratch.path("session.rec");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    startRelay({"--record", fifo, std::to_string(port)});
    connectProgram();
    EXPECT_TRUE(relay->waitForConsole("recording to '" + fifo + "': the file does not take lines yet"));
    connectBoard();
    // Far more recording than a pipe holds.
    const Bytes frame = VirtualBoard::frame(0x92, textPayload(std::string(1000, 'T')));
    constexpr int frames = 100;
    for (int i = 0; i < frames; ++i) board.writeBytes(frame);
    for (int i = 0; i < frames; ++i) ASSERT_EQ(program->readLine(), textOf(frame)) << i;

    std::string recorded;
    std::thread reader;
    int held = -1;
    if (readerReads) {
        reader = std::thread([&] {
            const int in = ::open(fifo.c_str(), O_RDONLY);
            char buffer[65536];
            for (ssize_t got; (got = ::read(in, buffer, sizeof buffer)) > 0;) {
                recorded.append(buffer, static_cast<std::size_t>(got));
            }
            ::close(in);
        });
    } else {
        held = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    }
    program->sendLine("EXIT");
    const auto exitBegan = std::chrono::steady_clock::now();
    EXPECT_EQ(relay->waitForExit(30s), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - exitBegan, 10s);
    const std::string console = relay->consoleAtEnd();
    if (readerReads) {
        reader.join();
        EXPECT_EQ(recorded.rfind("# damrelay recording, begun ", 0), 0u);
        // Every byte the board sent, in whatever reads brought it.
        std::size_t boardBytes = 0;
        std::istringstream lines(recorded);
        for (std::string line; std::getline(lines, line);) {
            std::istringstream words(line);
            std::string time, kind, byte;
            if (!(words >> time >> kind) || time[0] == '#' || kind != "board") continue;
            while (words >> byte) ++boardBytes;
        }
        EXPECT_EQ(boardBytes, frames * frame.size());
        EXPECT_NE(recorded.find(" program EXIT\n"), std::string::npos);
        EXPECT_EQ(console.find("did not take its last lines"), std::string::npos);
    } else {
        ::close(held);
        EXPECT_NE(console.find("*** error: the recording '" + fifo + "' did not take its last lines in time: "),
                  std::string::npos)
            << console;
    }
}

INSTANTIATE_TEST_SUITE_P(ReaderReadsOrNot, RecordingToAFifo, ::testing::Bool());

TEST_F(RelayTest, AProgramThatResetsAtOnceEndsTheSessionCleanly) {
    startRelay();
    ProgramClient gone(port);
    ASSERT_TRUE(gone.connected());
    gone.reset();
    EXPECT_EQ(relay->waitForExit(), 0);
    EXPECT_EQ(relay->console().find("Invalid Socket"), std::string::npos);
}

TEST_F(RelayTest, TheStartUpPortIsADevicePathOrNothingAtAll) {
    struct Case {
        std::string portText;
        std::string note;
        bool boardConnected;
    };
    const Case cases[] = {
        {board.devicePath(), "--serial device: '" + board.devicePath() + "'\n", true},
        {"EXIT", "--'EXIT' is not a serial port: the board stays unconnected\n", false},
        {"#x", "--'#x' is not a serial port: the board stays unconnected\n", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.portText);
        relay = std::make_unique<RelayProcess>(
            std::vector<std::string>{"--listen", "127.0.0.1", std::to_string(port), c.portText});
        ASSERT_TRUE(relay->waitForConsole(" ...\n"));
        EXPECT_NE(relay->console().find(c.note), std::string::npos) << relay->console();
        EXPECT_NE(relay->console().find("socket address Draughts program = 127.0.0.1\n"), std::string::npos);
        EXPECT_FALSE(relay->waitForExit(200ms));
        connectProgram();
        program->sendLine("66");
        if (c.boardConnected) {
            EXPECT_EQ(board.read(1, 10s), Bytes{0x42});
        } else {
            EXPECT_EQ(program->readLine(), "ERROR");
        }
        program->close();
        ASSERT_TRUE(relay->waitForConsole(prompt));
        relay->type("y\n");
        EXPECT_EQ(relay->waitForExit(), 1);
    }
}

}  // namespace
