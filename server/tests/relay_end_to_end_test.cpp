// The relay program from end to end: started as a process, a draughts program
// on TCP at one end and a virtual board on a pseudo-terminal at the other.
#include <sstream>
#include <thread>

#include "port_open_advice.h"
#include "relay_fixture.h"

namespace {

using namespace std::chrono_literals;
using namespace testing_support;
using virtualboard::Bytes;
using virtualboard::VirtualBoard;

TEST_F(RelayTest, ListsItsSettingsGreetsOneProgramAndEndsWithZeroWhenItLeaves) {
    startRelay();
    ASSERT_TRUE(relay->waitForConsole(" ...\n"));
    const std::string console = relay->console();
    EXPECT_EQ(console.substr(0, banner.size() + usage.size()), banner + usage);
    const std::string tail = "\nsocket port Draughts program = " + std::to_string(port) +
                             "\nCOM    port KRV E-board      = none\n"
                             "\nNOTE: server will be controlled by Draughts program and auto-exit\n\n"
                             "Message Listener started\n"
                             "waiting for connection to Draughts program on port " +
                             std::to_string(port) + " ...\n";
    ASSERT_GE(console.size(), tail.size());
    EXPECT_EQ(console.substr(console.size() - tail.size()), tail);

    connectProgram();
    // Told so and let go at once; the first program goes on undisturbed.
    ProgramClient second(port, 0ms);
    ASSERT_TRUE(second.connected());
    EXPECT_EQ(second.readLine(), "#busy: another Draughts program is connected");
    EXPECT_TRUE(second.waitForClose());
    program->sendLine("DISC");
    EXPECT_EQ(program->readLine(), "DISCONN");

    program->close();
    EXPECT_EQ(relay->waitForExit(), 0);
    EXPECT_TRUE(relay->waitForConsole(
        "--another Draughts program refused: one is connected already\nreceived: DISC\ndisconnect E-board\n"
        "send: 'DISCONN'\nMessage Listener stopped\n"));
    EXPECT_EQ(count(relay->console(), prompt), 0u);
}

TEST_F(RelayTest, CommandLineErrorsAreNamedBeforeTheUsageAndEndWithOneAfterThePrompt) {
    const std::vector<std::vector<std::string>> commandLines = {
        {"abc"}, {"0"}, {"-1"}, {"65536"}, {"1", "2", "3"}, {"--map"}, {"--map", "COM3"}, {"--bogus", "1"},
    };
    for (const std::vector<std::string>& arguments : commandLines) {
        SCOPED_TRACE(arguments.front() + (arguments.size() > 1 ? " " + arguments[1] : ""));
        RelayProcess failing(arguments);
        ASSERT_TRUE(failing.waitForConsole(prompt));
        const std::string console = failing.console();
        ASSERT_EQ(console.substr(0, banner.size() + 11), banner + "*** error: ");
        const std::size_t usageStart = console.find('\n', banner.size()) + 1;
        EXPECT_EQ(console.substr(usageStart, usage.size()), usage);
        EXPECT_EQ(console.substr(console.size() - prompt.size()), prompt);
        EXPECT_EQ(count(console, "Message Listener"), 0u);
        if (&arguments == &commandLines.front()) {
            // Only a visible character answers the prompt.
            failing.type("\n \n");
            EXPECT_FALSE(failing.waitForExit(300ms));
        }
        failing.type("x\n");
        EXPECT_EQ(failing.waitForExit(), 1);
    }
}

TEST_F(RelayTest, HelpAndVersionEndWithZeroWithoutAQuestion) {
    RelayProcess help({"--help"});
    EXPECT_EQ(help.waitForExit(), 0);
    EXPECT_TRUE(help.waitForConsole("--version              show the version and exit\n"));
    EXPECT_EQ(help.console().substr(0, banner.size() + usage.size()), banner + usage);
    RelayProcess version({"--version"});
    EXPECT_EQ(version.waitForExit(), 0);
    EXPECT_TRUE(version.waitForConsole(banner + "damrelay " + DAMRELAY_VERSION + "\n"));
    EXPECT_EQ(count(help.console() + version.console(), prompt), 0u);
}

TEST_F(RelayTest, SocketPortHeldByAnotherProgramIsReportedWithOne) {
    const int holder = testing_support::listeningSocket();
    const int heldPort = testing_support::localPort(holder);

    startRelay({std::to_string(heldPort)});
    EXPECT_EQ(relay->waitForExit(), 1);
    EXPECT_TRUE(relay->waitForConsole("Message Listener started\n*** error: INVALID_SOCKET: 0.0.0.0 port " +
                                      std::to_string(heldPort) + ": Address already in use\n"));
    ::close(holder);
}

TEST_F(RelayTest, RequestsReachTheBoardAsTheirExactBytes) {
    startRelay();
    connectProgram();
    program->sendLine("66");
    EXPECT_EQ(program->readLine(), "ERROR");
    connectBoard();

    struct Case {
        const char* line;
        Bytes bytes;
    };
    const Case cases[] = {
        {"64", {0x40}},
        {"65", {0x41}},
        {"66", {0x42}},
        {"67", {0x43}},
        {"68", {0x44}},
        {"69", {0x45}},
        {"70", {0x46}},
        {"71", {0x47}},
        {"73", {0x49}},
        {"75", {0x4B}},
        {"76", {0x4C}},
        {"77", {0x4D}},
        {"4307", {0x2B, 0x03, 0x03, 0x0B, 0x70}},
        {"431", {0x2B, 0x0B, 0x03, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"432123456", {0x2B, 0x0B, 0x03, 0x01, 0x4F, 0x5B, 0x06, 0x7D, 0x6D, 0x66, 0x00, 0x00, 0x00}},
        {"432", {0x2B, 0x0B, 0x03, 0x01, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x00, 0x01, 0x00}},
        {"433", {0x2B, 0x09, 0x03, 0x0A, 0x00, 0x0A, 0x00, 0x00, 0x0A, 0x00, 0x07}},
        {"434", {0x2B, 0x02, 0x03, 0x03}},
        {"435", {0x2B, 0x02, 0x03, 0x09}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        program->sendLine(c.line);
        EXPECT_EQ(board.read(c.bytes.size(), 5s), c.bytes);
    }

    // Requests that send nothing: the next byte at the board is that of the
    // request after them, and the next line at the program is a board line.
    for (const char* line : {"72", "74", "436", "43", "430x", "430", "DISC ", "#comment", ""}) program->sendLine(line);
    program->sendLine("77");
    EXPECT_EQ(board.read(1, 5s), Bytes{0x4D});
    board.writeBytes(fieldUpdate(23, 1));
    EXPECT_EQ(program->readLine(), "023P");

    ASSERT_TRUE(relay->waitForConsole("send: '023P'\n"));
    const std::string console = relay->console();
    for (const char* logged :
         {"*** unrecognized command: 72\n", "*** unrecognized command: 74\n", "*** unrecognized clock command: 6\n",
          "*** unrecognized clock command: none\n", "*** beep time is not a number: x\n",
          "*** unrecognized command: 0\n", "received: #comment\n", "received: KRV_CMD_SEND_VERSION\n",
          "received: KRV_CMD_CLOCK_MESSAGE MESSAGE  123456\n"}) {
        EXPECT_NE(console.find(logged), std::string::npos) << logged;
    }
}

TEST_F(RelayTest, EveryKindOfBoardMessageReachesTheProgramAsOneLineInOrder) {
    startConnected();
    const std::vector<Bytes> frames = {
        VirtualBoard::frame(0x86, {1, 7, 13, 0, 100}),                        // board dump
        fieldUpdate(23, 1),                                                   // square change
        VirtualBoard::frame(0x8F, {1, 2, 3, 4}),                              // stored moves
        VirtualBoard::frame(0x8D, {0x01, 0x23, 0x45, 0x00, 0x59, 0x07, 0}),   // clock times
        VirtualBoard::frame(0x8D, {0x0A, 0x10, 0x01, 0x2A, 0x00, 0x00, 0}),   // clock acknowledgement
        VirtualBoard::frame(0x90, {0x01, 0x02}),                              // bus address
        VirtualBoard::frame(0x91, textPayload("12345")),                      // serial number
        VirtualBoard::frame(0x92, textPayload("KRV board")),                  // trademark
        VirtualBoard::frame(0x93, {1, 5}),                                    // version
        VirtualBoard::frame(0xA0, {85, 3, 20, 0, 0, 0, 0, 0, 0}),             // battery
        VirtualBoard::frame(0xA1, textPayload("ABCDEFGHIJ")),                 // long serial number
        VirtualBoard::frame(0xFF, textPayload("020 reported by the board")),  // error
        VirtualBoard::frame(0x94, {}),                                        // empty board dump
    };
    Bytes all;
    for (const Bytes& frame : frames) all.insert(all.end(), frame.begin(), frame.end());
    board.writeBytes(all);
    for (const Bytes& frame : frames) {
        SCOPED_TRACE(static_cast<int>(frame[0]));
        EXPECT_EQ(program->readLine(), textOf(frame));
    }
    EXPECT_EQ(textOf(frames[1]), "023P");
    EXPECT_EQ(textOf(frames[3]), "01:23:45 - 00:59:07");
    EXPECT_EQ(textOf(frames.back()), "");
}

TEST_F(RelayTest, AutoConnectModeDropsBoardLinesUntilTheProgramComesAndConfirmsItsEnd) {
    startRelay({std::to_string(port), "COM7"});
    ASSERT_TRUE(relay->waitForConsole(" ...\n"));
    const std::string expected =
        "COM    port KRV E-board      = COM7\n"
        "\nNOTE: server will auto-connect to E-board and confirm exit\n\n"
        "connect to E-board via COM7\n"
        "received: COM7\n"
        "connect to KRV E-board\n"
        "--connect to board, serial port: 'COM7'\n"
        "--serial device: '" +
        board.devicePath() +
        "'\n"
        "--no socket connection (yet) to draughts program\n"
        "Message Listener started\n"
        "waiting for connection to Draughts program on port " +
        std::to_string(port) + " ...\n";
    const std::string console = relay->console();
    ASSERT_GE(console.size(), expected.size());
    EXPECT_EQ(console.substr(console.size() - expected.size()), expected);

    // Given time to reach the relay, which has no program to send it to.
    board.writeBytes(fieldUpdate(1, 1));
    std::this_thread::sleep_for(1s);
    connectProgram();
    // Asking for the board it already has keeps the connection.
    connectBoard();
    board.writeBytes(fieldUpdate(23, 1));
    EXPECT_EQ(program->readLine(), "023P");
    ASSERT_TRUE(relay->waitForConsole("send: '023P'\n"));
    EXPECT_EQ(count(relay->console(), "001P"), 0u);
    EXPECT_EQ(count(relay->console(), "--connect to board"), 1u);

    program->close();
    ASSERT_TRUE(relay->waitForConsole("Message Listener stopped\n" + prompt));
    EXPECT_FALSE(relay->waitForExit(200ms));
    EXPECT_TRUE(board.hostAttached()) << "the board is let go only after the confirmation";
    relay->type("y\n");
    EXPECT_EQ(relay->waitForExit(), 1);
}

TEST_F(RelayTest, DisconnectStopsBoardLinesAndAnswersEvenWithoutBoardAlsoInCrLfLines) {
    startRelay();
    connectProgram();
    // Lines ended with CR LF, as programs on Windows end them, work the same.
    program->send("COM7\r\n");
    EXPECT_EQ(program->readLine(), "CONN");
    program->send("66\r\n");
    EXPECT_EQ(board.read(1, 5s), Bytes{0x42});
    ASSERT_TRUE(board.hostAttached());
    program->send("DISC\r\n");
    EXPECT_EQ(program->readLine(), "DISCONN");
    EXPECT_FALSE(board.hostAttached());
    board.writeBytes(fieldUpdate(23, 1));
    program->sendLine("DISC");
    EXPECT_EQ(program->readLine(), "DISCONN");
    program->sendLine("66");
    EXPECT_EQ(program->readLine(), "ERROR");
    ASSERT_TRUE(relay->waitForConsole("ignore command: 66\n"));
    EXPECT_EQ(count(relay->console(), "--connect to board"), 1u);
}

TEST_F(RelayTest, PortThatCannotBeOpenedGetsErrorAndTheRelayStaysUp) {
    startRelay({"--map", "com8=/nonexistent/board", std::to_string(port)});
    connectProgram();
    program->sendLine("COM8");
    EXPECT_EQ(program->readLine(), "ERROR");
    // The relay sees the same devices as this test.
    EXPECT_TRUE(relay->waitForConsole(
        "*** error: could not open serial port 'COM8': open: No such file or directory\n" +
        portOpenAdvice("/nonexistent/board", make_error_code(boost::system::errc::no_such_file_or_directory)) +
        "send: 'ERROR'\n"));
    program->sendLine("66");
    EXPECT_EQ(program->readLine(), "ERROR");

    connectBoard();
    program->sendLine("66");
    EXPECT_EQ(board.read(1, 5s), Bytes{0x42});

    // A second relay cannot take the board this one holds.
    const int otherPort = freeTcpPort();
    RelayProcess other({"--map", "COM7=" + board.devicePath(), std::to_string(otherPort)});
    ProgramClient otherProgram(otherPort);
    ASSERT_EQ(otherProgram.readLine(), greeting);
    otherProgram.sendLine("COM7");
    EXPECT_EQ(otherProgram.readLine(), "ERROR");
    EXPECT_TRUE(other.waitForConsole(
        "*** error: could not open serial port 'COM7': another program is using it\nsend: 'ERROR'\n"));
}

TEST_F(RelayTest, ConnectToAnotherPortMovesTheBoardConnection) {
    VirtualBoard second;
    startRelay({"--map", "COM8=" + second.devicePath(), std::to_string(port)});
    connectProgram();
    connectBoard();
    program->sendLine("COM8");
    EXPECT_EQ(program->readLine(), "CONN");
    program->sendLine("66");
    EXPECT_EQ(second.read(1, 5s), Bytes{0x42});
    EXPECT_TRUE(board.read(1, 200ms).empty());
    EXPECT_FALSE(board.hostAttached());
    second.writeBytes(fieldUpdate(5, 7));
    EXPECT_EQ(program->readLine(), "005p");
}

TEST_F(RelayTest, ExitEndsWithZeroAndANewRelayGetsThePortAtOnce) {
    startConnected();
    program->sendLine("EXIT");
    EXPECT_EQ(relay->waitForExit(), 0);
    const std::string ending = "received: EXIT\ndraughts program requested exit\n";
    ASSERT_TRUE(relay->waitForConsole(ending));
    const std::string console = relay->console();
    EXPECT_EQ(console.substr(console.size() - ending.size()), ending);
    EXPECT_TRUE(program->waitForClose());

    startRelay();
    connectProgram();
    connectBoard();
    program->close();
    EXPECT_EQ(relay->waitForExit(), 0);
}

TEST_F(RelayTest, ProgramLeavingInTheMiddleOfABurstEndsTheSessionCleanly) {
    startConnected();
    std::thread burst([&] {
        Bytes frames;
        for (int i = 0; i < 10000; ++i) {
            const Bytes frame = fieldUpdate(i % 50, 1);
            frames.insert(frames.end(), frame.begin(), frame.end());
        }
        // The rest stays unread once the relay has let the board go.
        board.writeBytesUntil(frames, std::chrono::steady_clock::now() + 10s);
    });
    for (int i = 0; i < 100; ++i) program->sendLine("#program still here");
    for (int i = 0; i < 20; ++i) ASSERT_TRUE(program->readLine());
    program->reset();
    burst.join();
    EXPECT_EQ(relay->waitForExit(), 0);
    EXPECT_TRUE(relay->waitForConsole("Message Listener stopped\n"));

    // Lines from the two threads never run into each other on the console.
    std::istringstream lines(relay->console().substr(relay->console().find("Message Listener started")));
    for (std::string line; std::getline(lines, line);) {
        const bool sent = line.rfind("send: '", 0) == 0 && line.back() == '\'';
        const bool known = line == "received: #program still here" || line == "received: COM7" ||
                           line == "connect to KRV E-board" || line.rfind("--", 0) == 0 ||
                           line.rfind("Message Listener", 0) == 0 || line.rfind("waiting for connection", 0) == 0;
        EXPECT_TRUE(sent || known) << line;
    }
}

}  // namespace
