// The boardsim program as a host sees it: started for real on its pseudo-
// terminal and driven through the driver library.
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <boardio/boardio.h>
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <thread>

#include "child_process.h"
#include "link_test_support.h"

namespace {

using namespace std::chrono_literals;
using namespace krvEBLowLevel;
using linktest::MessageLog;
using linktest::Seen;
using testing_support::ChildProcess;

// A text against a pattern in which '#' stands for any digit.
bool matches(const std::string& text, const std::string& pattern) {
    if (text.size() != pattern.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (pattern[i] == '#' ? !std::isdigit(static_cast<unsigned char>(text[i])) : text[i] != pattern[i]) return false;
    }
    return true;
}

std::string linkTarget(const std::string& link) {
    char target[256] = {};
    return ::readlink(link.c_str(), target, sizeof target - 1) > 0 ? target : "";
}

class Boardsim : public ::testing::Test {
protected:
    void start(std::vector<std::string> moves = {}) {
        std::vector<std::string> words{BOARDSIM_BINARY, "--link", link, "--pace", "0"};
        words.insert(words.end(), moves.begin(), moves.end());
        process = std::make_unique<ChildProcess>(words, ChildProcess::Output::CollectedWithErrors);
        // Nothing to read on its input, as when started from a script.
        process->closeInput();
        for (auto deadline = std::chrono::steady_clock::now() + 10s;
             linkTarget(link).empty() && std::chrono::steady_clock::now() < deadline;) {
            std::this_thread::sleep_for(10ms);
        }
        ASSERT_EQ(linkTarget(link).rfind("/dev/pts/", 0), 0u) << "no link to a pseudo-terminal";
        driver = std::make_unique<krvEBLow>(link);
        driver->attach(&log);
        driver->open();
    }
    void TearDown() override {
        if (driver) driver->close();
        if (!process) return;
        // Ended as a person ends it, so that it removes its link.
        process->stop({}, SIGTERM);
        if (HasFailure()) std::cerr << "boardsim's console:\n" << process->console();
    }

    // Sends a command and waits for `count` more messages; gives their texts.
    std::vector<std::string> ask(Command&& command, std::size_t count) {
        const std::size_t before = log.snapshot().size();
        driver->sendCommand(&command);
        log.waitForCount(before + count, 10s);
        const std::vector<Seen> seen = log.snapshot();
        std::vector<std::string> texts;
        for (std::size_t i = before; i < seen.size(); ++i) texts.push_back(seen[i].text);
        return texts;
    }
    std::size_t consoleCount(const std::string& line) {
        const std::string text = process->console();
        std::size_t count = 0;
        for (std::size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1)) ++count;
        return count;
    }
    // The board notes a host that has gone once it has cleaned up after it.
    // The board looks for hosts now and then: one that came and went between
    // two looks is not seen.
    bool boardSees(bool aHost) {
        for (auto deadline = std::chrono::steady_clock::now() + 10s; std::chrono::steady_clock::now() < deadline;
             std::this_thread::sleep_for(10ms)) {
            if ((consoleCount("host opened the port") > consoleCount("host closed the port")) == aHost) return true;
        }
        return false;
    }
    bool sawErrors() {
        for (const Seen& seen : log.snapshot()) {
            if (seen.id == 127) return true;
        }
        return false;
    }

    linktest::ScratchDir scratch;
    std::string link = scratch.boardLink();
    MessageLog log;
    std::unique_ptr<ChildProcess> process;
    std::unique_ptr<krvEBLow> driver;
};

const std::string startingBoard = std::string(20, 'p') + std::string(10, '.') + std::string(20, 'P');

TEST_F(Boardsim, AnswersEveryRequestWithFramesTheDriverDecodes) {
    start();
    struct Request {
        std::function<std::unique_ptr<Command>()> command;
        std::vector<std::string> answers;  // patterns of the texts, in order
    };
    const auto make = [](auto command) {
        return [command]() -> std::unique_ptr<Command> { return std::make_unique<decltype(command)>(command); };
    };
    const Request requests[] = {
        {make(CmdSendReset()), {"01.00"}},
        {make(CmdSendClk()), {"01:##:## - 01:30:00"}},
        {make(CmdSendBrd()), {startingBoard}},
        {make(CmdSendUpdate()), {startingBoard}},
        {make(CmdSendUpdateBrd()), {startingBoard}},
        {make(CmdReturnSerialNr()), {"00000001", "VB00000001"}},
        {make(CmdReturnBusAddress()), {"1"}},
        {make(CmdSendTrademark()), {"Virtual draughts board (boardsim)"}},
        {make(CmdSendEEMoves()), {"EEMoves"}},
        {make(CmdSendUpdateNice()), {startingBoard}},
        {make(CmdSendBatteryStatus()), {"95% - 12:30"}},
        {make(CmdSendVersion()), {"01.00"}},
        {make(CmdClockMessage("HELLO", 0, false)), {"ACK: "}},
        {make(CmdClockMessage()), {"ACK: "}},
        {make(CmdClockIcons()), {"ACK: "}},
        {make(CmdClockBeep(2)), {"ACK: "}},
        {make(CmdEndClockMessage()), {"ACK: "}},
        {make(CmdClockVersion()), {"ACK: Clock Version: ZT 01.00"}},
        {make(CmdClockSetNRun()), {"ACK: SETNRUN (Clock Mode = 23)"}},
        {make(CmdSendClk()), {"00:##:## - 00:10:00"}},
    };
    for (const Request& request : requests) {
        std::unique_ptr<Command> command = request.command();
        const std::vector<std::string> texts = ask(std::move(*command), request.answers.size());
        ASSERT_EQ(texts.size(), request.answers.size()) << "request 0x" << std::hex << command->getData()[0];
        for (std::size_t i = 0; i < texts.size(); ++i) {
            EXPECT_TRUE(matches(texts[i], request.answers[i]))
                << texts[i] << " for request 0x" << std::hex << command->getData()[0];
        }
    }
    std::this_thread::sleep_for(100ms);  // room for a stray frame to show
    EXPECT_FALSE(sawErrors());
    EXPECT_NE(process->console().find("clock shows \"HELL0 \""), std::string::npos);
}

TEST_F(Boardsim, PlaysAGivenGameAsAPersonChangesTheSquaresOnceUpdatesAreOn) {
    // The first game of a file as it comes from the web.
    const std::string game = scratch.path("game.pdn");
    std::ofstream(game) << "[Event \"Club\"]\n[Result \"1-0\"]\n\n"
                           "1. 32-28 {the usual} 19-23 (17-21 2. 31-27) 2. 28x19! 14x23 1-0\n\n"
                           "[Event \"Next\"]\n1. 33-29 *\n";
    start({"--game", game});
    const std::vector<std::string> expected{startingBoard, "032.", "028P", "019.", "023p", "028.",
                                            "019P",        "023.", "014.", "023p", "019."};
    EXPECT_EQ(ask(CmdSendUpdate(), expected.size()), expected);

    std::string after = startingBoard;
    for (int square : {14, 19, 32}) after[square - 1] = '.';
    after[23 - 1] = 'p';
    EXPECT_EQ(ask(CmdSendBrd(), 1), std::vector<std::string>{after});
    EXPECT_FALSE(sawErrors());
}

TEST_F(Boardsim, KeepsItsLinkAndAnswersHostsThatComeAndGo) {
    start();
    EXPECT_EQ(ask(CmdSendVersion(), 1), std::vector<std::string>{"01.00"});
    driver->close();
    driver->open();
    EXPECT_EQ(ask(CmdSendVersion(), 1), std::vector<std::string>{"01.00"});

    // A host that ends badly: it asks for the board, is gone before it reads
    // the answer, and keeps its exclusive hold on the device. Neither may
    // reach the next host.
    driver->close();
    const int host = ::open(link.c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(host, 0);
    ::ioctl(host, TIOCEXCL);
    ASSERT_EQ(::write(host, "\x42", 1), 1);
    pollfd answer{host, POLLIN, 0};
    ASSERT_EQ(::poll(&answer, 1, 10000), 1);
    ASSERT_TRUE(boardSees(true));
    ::close(host);
    ASSERT_TRUE(boardSees(false));
    driver->open();
    EXPECT_EQ(ask(CmdSendVersion(), 1), std::vector<std::string>{"01.00"});
    EXPECT_FALSE(sawErrors());

    driver->close();
    process->stop({}, SIGTERM);
    struct stat status {};
    EXPECT_NE(::lstat(link.c_str(), &status), 0) << "the link outlived the board";
}

}  // namespace
