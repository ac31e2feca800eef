// The session's handling of control lines and board requests, with a
// stand-in for the driver that records what the relay does with it.
#include "session.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <utility>

#include "console.h"
#include "low_level_driver_demo.h"
#include "port_open_advice.h"
#include "stand_ins.h"

namespace {

using testing_support::Bytes;
using testing_support::DriverRecord;
using testing_support::RecordingDriver;
using testing_support::RecordingProgram;

class SessionTest : public ::testing::Test {
protected:
    SessionTest() {
        PortNames names;
        names.addRule("COM7=/dev/board7");
        names.addRule("COM8=/dev/board8");
        names.addRule("COM9=/dev/missing");
        record.failingDevice = "/dev/missing";
        demo = std::make_unique<LowLevelDriverDemo>(
            names, [this](const std::string& device) { return std::make_unique<RecordingDriver>(record, device); });
    }
    void SetUp() override { redirectConsole(&log); }
    void TearDown() override {
        demo.reset();
        redirectConsole(nullptr);
    }

    void connectProgram() { demo->setProgram(program); }
    // A program with the board connected, its replies and the log so far
    // taken, so that a test sees only what its own lines cause.
    void connectProgramAndBoard() {
        connectProgram();
        handle("COM7");
        repliesSoFar();
        takeLog();
    }
    // The lines the program got since the last look.
    std::vector<std::string> repliesSoFar() { return std::exchange(program->lines, {}); }
    void handle(const std::string& line) { EXPECT_TRUE(handleProgramLine(*demo, line)); }
    std::string takeLog() {
        flushConsole();
        std::string text = log.str();
        log.str("");
        return text;
    }

    DriverRecord record;
    std::unique_ptr<LowLevelDriverDemo> demo;
    std::ostringstream log;
    std::shared_ptr<RecordingProgram> program = std::make_shared<RecordingProgram>();
};

using Lines = std::vector<std::string>;

TEST_F(SessionTest, ConnectOpensTheMappedDeviceAndDisconnectClosesBeforeDetaching) {
    connectProgram();
    handle("com7");
    EXPECT_EQ(repliesSoFar(), Lines{"CONN"});
    EXPECT_EQ(takeLog(),
              "received: com7\nconnect to KRV E-board\n--connect to board, serial port: 'com7'\n"
              "--serial device: '/dev/board7'\nsend: 'CONN'\n");
    handle("DISC");
    EXPECT_EQ(repliesSoFar(), Lines{"DISCONN"});
    EXPECT_EQ(takeLog(), "received: DISC\ndisconnect E-board\nsend: 'DISCONN'\n");
    EXPECT_EQ(record.events, (Lines{"make /dev/board7", "attach", "open", "close", "detach", "delete /dev/board7"}));
}

TEST_F(SessionTest, ControlLinesNeedTheirExactForm) {
    connectProgram();
    // Not control lines: without a board they are board requests and refused.
    const std::pair<const char*, const char*> cases[] = {
        {"cOM3", "cOM3"}, {"DISC ", "DISC "}, {"EXIT\r", "EXIT\\x0D"}, {"CO", "CO"}, {"disc", "disc"}};
    for (const auto& [line, logged] : cases) {
        SCOPED_TRACE(line);
        handle(line);
        EXPECT_EQ(repliesSoFar(), Lines{"ERROR"});
        EXPECT_EQ(takeLog(), std::string("** not connected, ignore command: ") + logged + "\nsend: 'ERROR'\n");
    }
    EXPECT_TRUE(record.events.empty());
}

TEST_F(SessionTest, CommentsAndEmptyLinesGetNoReply) {
    connectProgram();
    for (bool withBoard : {false, true}) {
        if (withBoard) handle("COM7");
        takeLog();
        handle("#Quorvin 4.2, my own comment");
        handle("");
        EXPECT_EQ(repliesSoFar(), withBoard ? Lines{"CONN"} : Lines{});
        EXPECT_EQ(takeLog(), "received: #Quorvin 4.2, my own comment\n");
    }
    EXPECT_TRUE(record.commands.empty());
}

TEST_F(SessionTest, EveryRequestCodeSendsItsCommandAndNoReply) {
    connectProgramAndBoard();
    struct Case {
        const char* line;
        const char* logged;
        Bytes bytes;
    };
    const Case cases[] = {
        {"64", "received: KRV_CMD_SEND_RESET\n", {0x40}},
        {"65", "received: KRV_CMD_SEND_CLK\n", {0x41}},
        {"66", "received: KRV_CMD_SEND_BRD\n", {0x42}},
        {"67", "received: KRV_CMD_SEND_UPDATE\n", {0x43}},
        {"68", "received: KRV_CMD_SEND_UPDATE_BRD\n", {0x44}},
        {"69", "received: KRV_CMD_RETURN_SERIALNR\n", {0x45}},
        {"70", "received: KRV_CMD_RETURN_BUSADDRESS\n", {0x46}},
        {"71", "received: KRV_CMD_SEND_TRADEMARK\n", {0x47}},
        {"73", "received: KRV_CMD_SEND_EE_MOVES\n", {0x49}},
        {"75", "received: KRV_CMD_SEND_UPDATE_NICE\n", {0x4B}},
        {"76", "received: KRV_CMD_SEND_BATTERY_STATUS\n", {0x4C}},
        {"77", "received: KRV_CMD_SEND_VERSION\n", {0x4D}},
        {"660 and whatever follows", "received: KRV_CMD_SEND_BRD\n", {0x42}},
        {" 66", "received: KRV_CMD_SEND_BRD\n", {0x42}},
        {"430 5", "received: KRV_CMD_CLOCK_MESSAGE BEEP   5\n", {0x2B, 0x03, 0x03, 0x0B, 0x50}},
        {"4301", "received: KRV_CMD_CLOCK_MESSAGE BEEP  1\n", {0x2B, 0x03, 0x03, 0x0B, 0x10}},
        {"431", "received: KRV_CMD_CLOCK_MESSAGE ICON \n", {0x2B, 0x0B, 0x03, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"4321",
         "received: KRV_CMD_CLOCK_MESSAGE MESSAGE  1\n",
         {0x2B, 0x0B, 0x03, 0x01, 0x00, 0x00, 0x06, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}},
        {"432",
         "received: KRV_CMD_CLOCK_MESSAGE MESSAGE \n",
         {0x2B, 0x0B, 0x03, 0x01, 0x49, 0x49, 0x49, 0x49, 0x49, 0x49, 0x00, 0x01, 0x00}},
        {"433",
         "received: KRV_CMD_CLOCK_MESSAGE SETNRUN \n",
         {0x2B, 0x09, 0x03, 0x0A, 0x00, 0x0A, 0x00, 0x00, 0x0A, 0x00, 0x07}},
        {"434", "received: KRV_CMD_CLOCK_MESSAGE END_MESSAGE \n", {0x2B, 0x02, 0x03, 0x03}},
        {"435", "received: KRV_CMD_CLOCK_MESSAGE VERSION \n", {0x2B, 0x02, 0x03, 0x09}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        record.commands.clear();
        handle(c.line);
        EXPECT_EQ(record.commands, std::vector<Bytes>{c.bytes});
        EXPECT_EQ(repliesSoFar(), Lines{});
        EXPECT_EQ(takeLog(), std::string(c.logged));
    }
}

TEST_F(SessionTest, UnrecognisedRequestsAreLoggedAndSendNothing) {
    connectProgramAndBoard();
    struct Case {
        const char* line;
        const char* logged;
    };
    const Case cases[] = {
        {"72", "*** unrecognized command: 72\n"},
        {"74", "*** unrecognized command: 74\n"},
        {"DISC ", "*** unrecognized command: 0\n"},
        {"\r", "*** unrecognized command: 0\n"},
        {"-5", "*** unrecognized command: -5\n"},
        {"436", "received: KRV_CMD_CLOCK_MESSAGE \n*** unrecognized clock command: 6\n\n"},
        {"439 text", "received: KRV_CMD_CLOCK_MESSAGE \n*** unrecognized clock command: 9\n  text\n"},
        {"43", "received: KRV_CMD_CLOCK_MESSAGE \n*** unrecognized clock command: none\n\n"},
        {"43x", "received: KRV_CMD_CLOCK_MESSAGE \n*** unrecognized clock command: none\n\n"},
        {"430", "received: KRV_CMD_CLOCK_MESSAGE BEEP \n*** beep time is not a number: \n"},
        {"430x", "received: KRV_CMD_CLOCK_MESSAGE BEEP  x\n*** beep time is not a number: x\n"},
        {"430 99999999999",
         "received: KRV_CMD_CLOCK_MESSAGE BEEP   99999999999\n"
         "*** beep time is not a number:  99999999999\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        handle(c.line);
        EXPECT_EQ(repliesSoFar(), Lines{});
        EXPECT_EQ(takeLog(), std::string(c.logged));
    }
    EXPECT_TRUE(record.commands.empty());
}

TEST_F(SessionTest, PortThatCannotBeOpenedIsReportedAndTheRelayStaysWithoutBoard) {
    connectProgram();
    handle("COM9");
    EXPECT_EQ(repliesSoFar(), Lines{"ERROR"});
    EXPECT_EQ(takeLog(),
              "received: COM9\nconnect to KRV E-board\n--connect to board, serial port: 'COM9'\n"
              "--serial device: '/dev/missing'\n"
              "*** error: could not open serial port 'COM9': open: No such file or directory\n" +
                  portOpenAdvice("/dev/missing", make_error_code(boost::system::errc::no_such_file_or_directory)) +
                  "send: 'ERROR'\n");
    EXPECT_EQ(record.events, (Lines{"make /dev/missing", "attach", "open", "detach", "delete /dev/missing"}));
    EXPECT_FALSE(demo->isConnected());

    handle("66");
    EXPECT_EQ(repliesSoFar(), Lines{"ERROR"});
    handle("COM7");
    EXPECT_EQ(repliesSoFar(), Lines{"CONN"});
    EXPECT_TRUE(demo->isConnected());
}

TEST_F(SessionTest, ConnectToAnotherPortMovesTheConnection) {
    connectProgram();
    handle("COM7");
    handle("COM8");
    EXPECT_EQ(repliesSoFar(), (Lines{"CONN", "CONN"}));
    handle("66");
    EXPECT_EQ(record.events, (Lines{"make /dev/board7", "attach", "open", "close", "detach", "delete /dev/board7",
                                    "make /dev/board8", "attach", "open"}));
    EXPECT_EQ(record.commands, std::vector<Bytes>{{0x42}});

    // A move to a port that cannot be opened leaves no board at all.
    handle("COM9");
    EXPECT_EQ(repliesSoFar(), Lines{"ERROR"});
    EXPECT_FALSE(demo->isConnected());
}

TEST_F(SessionTest, ConnectLinesThatNameNoPortGetErrorAndLeaveTheBoardAsItIs) {
    connectProgramAndBoard();
    for (const std::string line : {"COM4 x", "COM", "com0", "Com3/../../tmp/x", "COM7\r"}) {
        SCOPED_TRACE(line);
        handle(line);
        EXPECT_EQ(repliesSoFar(), Lines{"ERROR"});
        const std::string logged = line == "COM7\r" ? "COM7\\x0D" : line;
        EXPECT_EQ(takeLog(), "received: " + logged + "\nconnect to KRV E-board\n*** error: '" + logged +
                                 "' is not a serial port name: ask for COM<n>, or a name given with --map\n"
                                 "send: 'ERROR'\n");
    }
    EXPECT_TRUE(demo->isConnected());
    EXPECT_EQ(record.events, (Lines{"make /dev/board7", "attach", "open"}));
}

TEST_F(SessionTest, ExitClosesTheBoardWithoutReplyAndEndsTheSession) {
    connectProgramAndBoard();
    EXPECT_FALSE(handleProgramLine(*demo, "EXIT"));
    EXPECT_EQ(repliesSoFar(), Lines{});
    EXPECT_EQ(takeLog(), "received: EXIT\ndraughts program requested exit\n");
    EXPECT_EQ(record.events, (Lines{"make /dev/board7", "attach", "open", "close", "detach", "delete /dev/board7"}));
}

TEST_F(SessionTest, BoardStillOpenWhenTheRelayEndsIsClosed) {
    handle("COM7");
    demo.reset();
    EXPECT_EQ(record.events, (Lines{"make /dev/board7", "attach", "open", "close", "detach", "delete /dev/board7"}));
}

}  // namespace
