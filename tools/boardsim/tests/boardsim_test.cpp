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
#include "console_fifo.h"
#include "link_test_support.h"
#include "request_notes.h"

namespace {

using namespace std::chrono_literals;
using namespace krvEBLowLevel;
using linktest::MessageLog;
using linktest::Seen;
using testing_support::ChildProcess;
using testing_support::ConsoleFifo;

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

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

class Boardsim : public ::testing::Test {
protected:
    struct Start {
        std::vector<std::string> arguments;
        bool typing = false;                   // its input stays open for the test to type
        const ConsoleFifo* console = nullptr;  // its standard output
    };
    void start(std::vector<std::string> moves = {}) { start(Start{std::move(moves), false, nullptr}); }
    void start(const Start& how) {
        std::vector<std::string> words{BOARDSIM_BINARY, "--link", link, "--pace", "0"};
        words.insert(words.end(), how.arguments.begin(), how.arguments.end());
        if (how.console != nullptr) words = how.console->withOutputOn(words);
        process = std::make_unique<ChildProcess>(words, ChildProcess::Output::CollectedWithErrors);
        // Nothing to read on its input, as when started from a script.
        if (!how.typing) process->closeInput();
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
    // Requests as fast as the driver takes them: blocks of the most bytes a
    // command may have.
    void flood(unsigned char request, int blocks) {
        for (int i = 0; i < blocks; ++i) {
            linktest::RawCommand command(request, 10000, std::vector<unsigned char>(10000, request));
            driver->sendCommand(&command);
        }
    }
    std::size_t consoleCount(const std::string& line) { return occurrences(process->console(), line); }
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

TEST(BoardsimFiles, WhatCannotBeReadOrPlayedIsRefusedAtOnceNamingWhyAndWhere) {
    const linktest::ScratchDir scratch;
    const std::string folder = scratch.path("folder");
    ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
    const auto file = [&scratch](const std::string& name, const std::string& content) {
        std::ofstream(scratch.path(name)) << content;
        return scratch.path(name);
    };
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--game", file("a.pdn", "}")}, "a.pdn: line 1: a '}' closes no comment"},
        {{"--game", file("b.pdn", "]")}, "b.pdn: line 1: a ']' closes no tag"},
        {{"--game", file("c.pdn", "1. 32-28 19-23 }")}, "c.pdn: line 1: a '}' closes no comment"},
        {{"--game", file("d.pdn", "[Event \"x\"]]")}, "d.pdn: line 1: a ']' closes no tag"},
        {{"--game", file("e.pdn", "1. 32-28 *\n[Event \"two\"\n"), "--game-number", "2"},
         "e.pdn: line 2: a tag is written as [Name \"value\"]"},
        {{"--script", file("f.txt", "32-28\n1. 19-23 }\n")}, "f.txt line 2: a '}' closes no comment"},
        {{"--script", file("g.txt", std::string(5000, '3') + "\n")}, "g.txt line 1: longer than 4096 bytes"},
        {{"--game", folder}, folder + " is a directory, not a file"},
        {{"--script", folder}, folder + " is a directory, not a file"},
        {{"--replay", folder}, folder + " is a directory, not a file"},
        {{"--replay", "/dev/null"}, "/dev/null is not a regular file"},
        {{"--position", "W:W3:B40"}, "--position: a white man on square 3, its own far row (1 to 5)"},
        {{"--position", "B:W31:B47"}, "--position: a black man on square 47, its own far row (46 to 50)"},
    };
    for (const auto& [arguments, reason] : cases) {
        std::vector<std::string> words{BOARDSIM_BINARY};
        words.insert(words.end(), arguments.begin(), arguments.end());
        ChildProcess boardsim(words, ChildProcess::Output::CollectedWithErrors);
        boardsim.closeInput();
        EXPECT_EQ(boardsim.waitForExit(), 2) << reason;
        EXPECT_NE(boardsim.consoleAtEnd().find(reason), std::string::npos) << boardsim.console();
    }
}

TEST_F(Boardsim, TakesAnyConsoleLineAndGoesOnAnsweringItsHost) {
    start({{}, true, nullptr});
    // What once held the board for ever, then a line without end, cut.
    process->type("}\n]\n1. 32-28 19-23 }\n[Event \"x\"]]\n" + std::string(100000, 'a') + "\nlift 32\n");
    ASSERT_TRUE(process->waitForConsole("square 32 lifted\n"));
    for (const char* reason : {"a '}' closes no comment", "a ']' closes no tag"}) {
        EXPECT_EQ(consoleCount(std::string("not done: ") + reason + "\n"), 2u) << reason;
    }
    EXPECT_EQ(consoleCount("not done: a line longer than 4096 bytes is no command"), 1u);
    EXPECT_EQ(ask(CmdSendVersion(), 1), std::vector<std::string>{"01.00"});
}

TEST_F(Boardsim, AConsoleNobodyReadsHoldsUpNothingAndAFloodingHostIsSummedUp) {
    ConsoleFifo console(scratch.path("console"));
    start({{}, true, &console});
    ask(CmdSendUpdate(), 1);
    // About 2 MB of console, more than the pipe and the console's queue hold
    // together, then a lift the host sees once all of it is written.
    std::string boards;
    for (int i = 0; i < 6000; ++i) boards += "board\n";
    process->type(boards + "lift 32\n");
    ASSERT_TRUE(log.waitForText("032.", 1, 10s));
    // A host asking for what the board does not know, as fast as it can.
    const auto floodStarts = std::chrono::steady_clock::now();
    flood(0x99, 2);
    EXPECT_EQ(ask(CmdSendVersion(), 1), std::vector<std::string>{"01.00"});
    std::this_thread::sleep_for(1500ms);  // the second of the flood is over
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - floodStarts);

    // Read at last: what was dropped is said, and the flood is summed up.
    console.startReading();
    process->type("quit\n");
    EXPECT_EQ(process->waitForExit(), 0);
    const std::string& shown = console.readAtEnd();
    EXPECT_GE(occurrences(shown, "the console did not keep up: "), 1u);
    EXPECT_GE(occurrences(shown, "more requests in the last second, not shown one by one (unknown request "), 1u);
    EXPECT_LE(occurrences(shown, "host: unknown request 0x99 ignored\n"),
              static_cast<std::size_t>(seconds.count() + 2) * boardsim::RequestNotes::shownEachSecond);
}

TEST_F(Boardsim, SignalsEndItWithinASecondWhateverItIsDoing) {
    // The promise is a second; the bound leaves room for a loaded machine.
    constexpr auto bound = 3s;
    enum class Doing { waitingForItsConsole, runningAScriptThatWaitsAnHour, answeringAFloodingHost };
    const std::pair<Doing, int> cases[] = {
        {Doing::waitingForItsConsole, SIGTERM},
        {Doing::runningAScriptThatWaitsAnHour, SIGINT},
        {Doing::answeringAFloodingHost, SIGTERM},
    };
    for (const auto& [doing, signal] : cases) {
        SCOPED_TRACE(static_cast<int>(doing));
        std::optional<ConsoleFifo> unread;
        if (doing == Doing::waitingForItsConsole) {
            unread.emplace(scratch.path("unread"));
            start({{}, true, &*unread});
            std::string boards;
            for (int i = 0; i < 6000; ++i) boards += "board\n";
            process->type(boards);
        } else if (doing == Doing::runningAScriptThatWaitsAnHour) {
            std::ofstream(scratch.path("wait.txt")) << "wait 3600000\nlift 32\n";
            start({"--script", scratch.path("wait.txt")});
            ask(CmdSendUpdate(), 1);
        } else {
            start();
            flood(0x40, 6);
        }
        std::this_thread::sleep_for(200ms);
        ::kill(process->pid(), signal);
        const auto sent = std::chrono::steady_clock::now();
        EXPECT_EQ(process->waitForExit(bound), 0);
        EXPECT_LT(std::chrono::steady_clock::now() - sent, bound);
        struct stat status {};
        EXPECT_NE(::lstat(link.c_str(), &status), 0) << "the link outlived the board";
        driver->close();
        driver.reset();
        process.reset();
    }
}

}  // namespace
