// run.sh with its virtual board, as a program author uses it: the board
// stays while the relay starts again after each program's session, Ctrl-C
// or quitting the board ends everything, and a relay that cannot start
// ends the run. Uses the
// programs of this build (DAMRELAY_BUILD_DIR), never a build of its own.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

#include "child_process.h"
#include "link_test_support.h"
#include "program_client.h"

namespace {

using namespace std::chrono_literals;
using testing_support::ChildProcess;
using testing_support::ProgramClient;

// Generous: the relay and the board start afresh, under sanitizers too, on
// a machine the other tests keep busy.
constexpr auto patience = 60s;

const std::string startingBoard = "pppppppppppppppppppp..........PPPPPPPPPPPPPPPPPPPP";

bool serialAdapterPresent() {
    for (const auto& entry : std::filesystem::directory_iterator("/dev")) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("ttyUSB", 0) == 0 || name.rfind("ttyACM", 0) == 0) return true;
    }
    return false;
}

// The processes whose command line names text; zombies name nothing. Read
// without streams: a process may end while it is read.
std::vector<pid_t> processesNaming(const std::string& text) {
    std::vector<pid_t> found;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        const int file = ::open((entry.path() / "cmdline").c_str(), O_RDONLY | O_CLOEXEC);
        if (file < 0) continue;
        std::string words;
        char buffer[4096];
        for (ssize_t count; (count = ::read(file, buffer, sizeof buffer)) > 0;) words.append(buffer, count);
        ::close(file);
        if (words.find(text) != std::string::npos) found.push_back(std::stoi(name));
    }
    return found;
}

// Whether the console has said text `times` times by the deadline.
bool waitForConsoleTimes(const ChildProcess& process, const std::string& text, std::size_t times) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    do {
        const std::string console = process.console();
        std::size_t count = 0;
        for (std::size_t at = console.find(text); at != std::string::npos; at = console.find(text, at + 1)) ++count;
        if (count >= times) return true;
        std::this_thread::sleep_for(50ms);
    } while (std::chrono::steady_clock::now() < deadline);
    return false;
}

// run.sh in a process group of its own, as a terminal runs it: Ctrl-C
// reaches every process in the group. Whatever a failed test leaves running
// goes with it.
class RunScript {
public:
    RunScript(const std::string& runtimeDir, int port)
        : runtimeDir(runtimeDir),
          script({"setsid", "env", "DAMRELAY_BUILD_DIR=" BUILD_DIR, "DAMRELAY_PORT=" + std::to_string(port),
                  "XDG_RUNTIME_DIR=" + runtimeDir, "bash", RUN_SCRIPT},
                 ChildProcess::Output::CollectedWithErrors) {}
    ~RunScript() {
        pressCtrlC();
        script.stop(10s);
        ::kill(-script.pid(), SIGKILL);
        // The board runs in a session of its own.
        for (const pid_t left : processesNaming(runtimeDir)) ::kill(left, SIGKILL);
    }

    void pressCtrlC() {
        // Never our own group: setsid gave the script one of its own.
        if (::getpgid(script.pid()) == script.pid()) ::kill(-script.pid(), SIGINT);
    }

    const std::string runtimeDir;
    ChildProcess script;
};

class RunScriptTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (serialAdapterPresent()) GTEST_SKIP() << "a serial adapter is plugged in: run.sh would take it";
    }

    // Ends the run and checks that nothing it started is left.
    void expectAllGoneAfter(RunScript& run, int exitCode) {
        EXPECT_EQ(run.script.waitForExit(patience), exitCode) << run.script.console();
        EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(link))) << link;
        EXPECT_EQ(processesNaming(runtimeDir).size(), 0u) << "processes left behind";
    }

    const linktest::ScratchDir scratch;
    const std::string runtimeDir = std::filesystem::path(scratch.boardLink()).parent_path().string();
    const std::string link = runtimeDir + "/damrelay-board-" + std::to_string(::getuid());
};

// One session: the program connects, takes the board and is greeted.
std::unique_ptr<ProgramClient> connectToBoard(int port) {
    auto program = std::make_unique<ProgramClient>(port, patience);
    EXPECT_TRUE(program->connected());
    EXPECT_EQ(program->readLine(patience), "#KRV Draughts Server v2.1 Console 2011-06-28");
    program->sendLine("COM3");
    EXPECT_EQ(program->readLine(patience), "CONN");
    return program;
}

TEST_F(RunScriptTest, ProgramSessionsOneAfterAnotherFindTheSameBoardUntilCtrlC) {
    const int port = testing_support::freeTcpPort();
    RunScript run(runtimeDir, port);
    {
        const auto program = connectToBoard(port);
        program->sendLine("67");
        ASSERT_EQ(program->readLine(patience), startingBoard);
        run.script.type("32-28\n");
        ASSERT_EQ(program->readLine(patience), "032.");
        ASSERT_EQ(program->readLine(patience), "028P");
    }
    ASSERT_TRUE(waitForConsoleTimes(run.script, "waiting for the next program", 1)) << run.script.console();
    {
        const auto program = connectToBoard(port);
        program->sendLine("66");
        std::string afterTheMove = startingBoard;
        afterTheMove[28 - 1] = 'P';
        afterTheMove[32 - 1] = '.';
        ASSERT_EQ(program->readLine(patience), afterTheMove);
        // A program's EXIT ends its session, not the run.
        program->sendLine("EXIT");
        ASSERT_TRUE(program->waitForClose(patience));
    }
    // Once the relay that took the EXIT has gone: until then it holds the
    // port, and a program that connected would be let go.
    ASSERT_TRUE(waitForConsoleTimes(run.script, "waiting for the next program", 2)) << run.script.console();
    connectToBoard(port);

    run.pressCtrlC();
    expectAllGoneAfter(run, 130);
}

TEST_F(RunScriptTest, QuittingTheBoardEndsTheRelayAndTheRun) {
    RunScript run(runtimeDir, testing_support::freeTcpPort());
    ASSERT_TRUE(run.script.waitForConsole("starting damrelay", patience)) << run.script.console();
    run.script.type("quit\n");
    expectAllGoneAfter(run, 0);
}

TEST_F(RunScriptTest, ARelayThatCannotListenEndsTheRunWithItsMessage) {
    const int holder = testing_support::listeningSocket();
    RunScript run(runtimeDir, testing_support::localPort(holder));
    expectAllGoneAfter(run, 1);
    EXPECT_TRUE(run.script.waitForConsole("Address already in use")) << run.script.console();
    EXPECT_TRUE(run.script.waitForConsole("damrelay ended with exit code 1")) << run.script.console();
    ::close(holder);
}

}  // namespace
