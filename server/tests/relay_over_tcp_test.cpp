// The relay with a board served over TCP, as users meet it: boardsim --tcp,
// and Debian's ser2net in front of a board's serial device. What TCP adds is
// tested here (the link's states are the serial link's): a connection that
// ends is a pulled cable, a server that is not there or has no board behind
// it is no board, and a program can make the relay connect nowhere.
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>

#include "child_process.h"
#include "link_test_support.h"
#include "relay_fixture.h"

namespace {

using namespace std::chrono_literals;
using namespace testing_support;

const std::string readFailed = "ERROR: 255 : 002 Could not read command: asio.misc:2";

// Debian's ser2net, or empty when it is not installed.
std::string ser2netProgram() {
    std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    std::istringstream dirs(path + ":/usr/sbin:/usr/local/sbin");
    for (std::string dir; std::getline(dirs, dir, ':');) {
        const std::string program = dir + "/ser2net";
        if (!dir.empty() && ::access(program.c_str(), X_OK) == 0) return program;
    }
    return {};
}

// A board served on 127.0.0.1:port by boardsim --tcp, or by ser2net in front
// of boardsim's pseudo-terminal; the relay maps COM3 onto it.
class ServedBoard {
public:
    enum class Server { boardsim, ser2net };
    ServedBoard(Server server, int port) : server(server), port(port) {}
    ~ServedBoard() {
        if (ser2net) ser2net->stop({}, SIGTERM);
    }

    std::string name() const { return "tcp:127.0.0.1:" + std::to_string(port); }
    ChildProcess& board() { return *boardsim; }

    void startBoard() {
        std::vector<std::string> words{BOARDSIM_BINARY, "--pace", "0"};
        const std::vector<std::string> where =
            server == Server::boardsim ? std::vector<std::string>{"--tcp", "127.0.0.1:" + std::to_string(port)}
                                       : std::vector<std::string>{"--link", scratch.boardLink()};
        words.insert(words.end(), where.begin(), where.end());
        boardsim = std::make_unique<ChildProcess>(words, ChildProcess::Output::CollectedWithErrors);
        ASSERT_TRUE(boardsim->waitForConsole(server == Server::boardsim ? "board on " + name() : "link "))
            << boardsim->console();
    }
    void endBoard() { boardsim->stop({}, SIGTERM); }

    // The test's own configuration, as the README shows it for a real board.
    void startSer2net() {
        const std::string config = scratch.path("ser2net.yaml");
        std::ofstream(config) << "connection: &board\n"
                              << "  accepter: tcp,127.0.0.1," << port << "\n"
                              << "  connector: serialdev," << scratch.boardLink() << ",9600n81,local\n";
        // -u: no UUCP lock files, which the tests' boards would share by name.
        ser2net = std::make_unique<ChildProcess>(
            std::vector<std::string>{ser2netProgram(), "-n", "-d", "-u", "-c", config, "-P", scratch.path("pid")},
            ChildProcess::Output::CollectedWithErrors);
        // It says nothing when it listens: wait until it takes connections.
        ProgramClient probe(port, 10s);
        ASSERT_TRUE(probe.connected()) << ser2net->console();
    }
    void endSer2net() { ser2net->stop({}, SIGTERM); }

private:
    Server server;
    int port;
    linktest::ScratchDir scratch;
    std::unique_ptr<ChildProcess> boardsim;
    std::unique_ptr<ChildProcess> ser2net;
};

class RelayOverTcp : public ::testing::Test {
protected:
    void startRelay(const std::vector<std::string>& arguments) {
        relay = std::make_unique<RelayProcess>(arguments);
        program = std::make_unique<ProgramClient>(port, 10s);
        ASSERT_TRUE(program->connected());
        ASSERT_EQ(program->readLine(10s), greeting);
    }
    std::optional<std::string> ask(const std::string& line) {
        program->sendLine(line);
        return program->readLine(20s);
    }
    void TearDown() override {
        if (HasFailure() && relay) std::cerr << "the relay's console:\n" << relay->console();
    }

    const int port = freeTcpPort();
    std::unique_ptr<RelayProcess> relay;
    std::unique_ptr<ProgramClient> program;
};

struct Outage {
    std::string what;
    std::function<void(ServedBoard&)> pull;
    std::function<void(ServedBoard&)> plug;
    std::string whileAway;  // what the relay's console says of a connect meanwhile
};

class RelayWithServedBoard : public RelayOverTcp {
protected:
    // For each outage: a game's square changes reach the program; the board
    // goes and a connect meanwhile is refused; it comes back and a connect
    // reaches it; it goes and comes back, and the next request reaches it.
    // The relay stays up throughout.
    void playThrough(ServedBoard::Server server, const std::vector<Outage>& outages) {
        for (const Outage& outage : outages) {
            SCOPED_TRACE(outage.what);
            ServedBoard served(server, boardPort);
            ASSERT_NO_FATAL_FAILURE(served.startBoard());
            if (server == ServedBoard::Server::ser2net) {
                ASSERT_NO_FATAL_FAILURE(served.startSer2net());
            }
            ASSERT_NO_FATAL_FAILURE(startRelay({"--map", "COM3=" + served.name(), std::to_string(port)}));
            ASSERT_EQ(ask("COM3"), "CONN");

            // Updates on: the board answers with its dump, then sends each
            // change.
            EXPECT_EQ(ask("67"), "pppppppppppppppppppp..........PPPPPPPPPPPPPPPPPPPP");
            served.board().type("32-28 19-23\n");
            std::vector<std::string> squares;
            while (squares.size() < 4) {
                const std::optional<std::string> line = program->readLine(20s);
                ASSERT_TRUE(line) << served.board().console();
                if (line->size() == 4 && std::isdigit(static_cast<unsigned char>((*line)[0]))) {
                    squares.push_back(*line);
                }
            }
            EXPECT_EQ(squares, (std::vector<std::string>{"032.", "028P", "019.", "023p"}));

            ASSERT_NO_FATAL_FAILURE(outage.pull(served));
            EXPECT_EQ(program->readLine(20s), readFailed);
            EXPECT_EQ(ask("COM3"), "ERROR");
            EXPECT_TRUE(relay->waitForConsole(outage.whileAway));
            ASSERT_NO_FATAL_FAILURE(outage.plug(served));
            EXPECT_EQ(ask("COM3"), "CONN");
            EXPECT_EQ(ask("77"), "01.00");

            ASSERT_NO_FATAL_FAILURE(outage.pull(served));
            EXPECT_EQ(program->readLine(20s), readFailed);
            ASSERT_NO_FATAL_FAILURE(outage.plug(served));
            EXPECT_EQ(ask("77"), "01.00");
            EXPECT_EQ(ask("DISC"), "DISCONN");
            program->sendLine("EXIT");
            EXPECT_EQ(relay->waitForExit(), 0);
        }
    }

    const int boardPort = freeTcpPort();
    const std::string where = "127.0.0.1:" + std::to_string(boardPort);
};

TEST_F(RelayWithServedBoard, BoardsimOverTcpPulledAndPluggedOrEndedAndStartedAgain) {
    playThrough(ServedBoard::Server::boardsim,
                {{"pull and plug",
                  [](ServedBoard& served) {
                      served.board().type("pull\n");
                      ASSERT_TRUE(served.board().waitForConsole("pulled"));
                  },
                  [](ServedBoard& served) {
                      served.board().type("plug\n");
                      ASSERT_TRUE(served.board().waitForConsole("the cable is plugged in again\n"));
                  },
                  "connect to " + where + ", closed at once"},
                 {"ended and started again", &ServedBoard::endBoard, &ServedBoard::startBoard,
                  "connect to " + where + ": Connection refused"}});
}

TEST_F(RelayWithServedBoard, Ser2netInFrontOfABoardThatEndsOrEndingItself) {
    if (ser2netProgram().empty()) GTEST_SKIP() << "ser2net is not installed (apt-get install ser2net)";
    playThrough(ServedBoard::Server::ser2net,
                {{"the board ended and started again", &ServedBoard::endBoard, &ServedBoard::startBoard,
                  "connect to " + where + ", closed at once after \"Device open failure"},
                 {"ser2net ended and started again", &ServedBoard::endSer2net, &ServedBoard::startSer2net,
                  "connect to " + where + ": Connection refused"}});
}

TEST_F(RelayOverTcp, OnlyTheOperatorNamesABoardAndEveryFailureToReachOneIsNamed) {
    ServedBoard served(ServedBoard::Server::boardsim, freeTcpPort());
    ASSERT_NO_FATAL_FAILURE(served.startBoard());
    const std::string closed = "127.0.0.1:" + std::to_string(freeTcpPort());
    ASSERT_NO_FATAL_FAILURE(
        startRelay({"--map", "COM3=tcp:" + closed, "--map", "COM4=tcp:board.invalid:3333", "--map",
                    "COM5=tcp:board.invalid", "--map", "COM6=" + served.name(), std::to_string(port)}));
    const struct {
        std::string line;
        std::string console;
    } cases[] = {
        {"COM3",
         "*** error: could not connect to the board of 'COM3': connect to " + closed + ": Connection refused\n"},
        // Not found, or whatever else the lookup met: named as a lookup.
        {"COM4", "*** error: could not connect to the board of 'COM4': look up board.invalid:3333: "},
        {"COM5", "*** error: could not connect to the board of 'COM5': tcp:HOST:PORT: no port after the host"},
        {"COM" + served.name(), "is not a serial port name"},
        {served.name(), "** not connected, ignore command: " + served.name()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(ask(c.line), "ERROR");
        EXPECT_TRUE(relay->waitForConsole(c.console));
    }
    EXPECT_EQ(served.board().console().find(" connected\n"), std::string::npos) << "a program's line reached the board";
    EXPECT_EQ(ask("COM6"), "CONN");
    EXPECT_EQ(ask("77"), "01.00");
    program->sendLine("EXIT");
    EXPECT_EQ(relay->waitForExit(), 0);
}

TEST_F(RelayOverTcp, TheStartUpPortMayNameABoardServedOverTcp) {
    ServedBoard served(ServedBoard::Server::boardsim, freeTcpPort());
    ASSERT_NO_FATAL_FAILURE(served.startBoard());
    ASSERT_NO_FATAL_FAILURE(startRelay({std::to_string(port), served.name()}));
    EXPECT_TRUE(relay->waitForConsole("--board over TCP: '" + served.name() + "'\n"));
    EXPECT_EQ(ask("77"), "01.00");
    program->sendLine("EXIT");
    EXPECT_EQ(relay->waitForExit(), 0);
}

}  // namespace
