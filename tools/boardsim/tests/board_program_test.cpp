// The board without its ports, on a clock the test moves: scripts of a
// person's hands, positions, faults and clock keys, and what the host reads
// of them.
#include <boardio/boardio.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "board_program.h"
#include "draughts/fen.h"
#include "readme_examples.h"

namespace {

using namespace boardsim;
using namespace std::chrono_literals;

const Time start = Time{} + 1h;
const std::string startingBoard = std::string(20, 'p') + std::string(10, '.') + std::string(20, 'P');

// What a host reads: each frame as the line the relay makes of it, each byte
// that starts no frame as "noise", and the link's events in their place.
class HostView {
public:
    void take(const Bytes& bytes) {
        for (unsigned char byte : bytes) {
            if (frame.empty() && (byte & 0x80) == 0) {
                lines.push_back("noise");
                continue;
            }
            frame.push_back(byte);
            if (frame.size() < 3 || frame.size() < static_cast<std::size_t>((frame[1] << 7) | frame[2])) continue;
            std::vector<unsigned char> buffer(krvEBLowLevel::frameCapacity, 0);
            std::copy(frame.begin(), frame.end(), buffer.begin());
            std::string text;
            if (const auto message = krvEBLowLevel::createMessage(buffer.data())) message->getText(text);
            lines.push_back(text);
            frame.clear();
        }
    }
    std::vector<std::string> lines;
    std::vector<Time> times;  // when each line's last byte went out

private:
    Bytes frame;
};

std::string textOf(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + '\n';
    return text;
}

// The board program and what drives it: the loop's part, without a port.
class Bench {
public:
    explicit Bench(BoardSettings settings = {}) : program(console, settings, start) {}

    // A script that waits for the host to switch updates on, as with
    // --script; the host then does so (0x43, or 0x4B for a dump after each
    // move).
    void runScript(const std::vector<std::string>& lines, unsigned char updates = 0x43) {
        program.holdUntilUpdatesOn();
        std::string error;
        ASSERT_TRUE(program.runScript(textOf(lines), now, error)) << error;
        fromHost({updates});
    }
    void fromHost(const Bytes& bytes) { program.fromHost(bytes, now); }

    // Takes everything that falls due within `span`.
    void run(std::chrono::milliseconds span = 24h) {
        const Time end = now + span;
        for (std::optional<Time> due; !ended && (due = program.nextDue()) && *due <= end;) {
            now = std::max(now, *due);
            const PacedLine::Due out = program.takeDue(now);
            if (!pulled) host.take(out.bytes);
            for (std::size_t i = host.times.size(); i < host.lines.size(); ++i) host.times.push_back(now);
            if (out.then) {
                pulled = *out.then == LinkEvent::Pull;
                ended = *out.then == LinkEvent::End;
                host.lines.push_back(*out.then == LinkEvent::Pull ? "<pull>" : *out.then == LinkEvent::Plug ? "<plug>"
                                                                                                          : "<end>");
                host.times.push_back(now);
            }
            if (pulled) program.hostAbsent();
        }
        now = end;
    }
    // The board as the host finds it at the end.
    std::string boardAtTheEnd() {
        run();
        const std::size_t before = host.lines.size();
        fromHost({0x42});
        run();
        return host.lines.size() == before + 1 ? host.lines.back() : "no board dump";
    }

    std::ostringstream console;
    BoardProgram program;
    HostView host;
    Time now = start;
    bool pulled = false;
    bool ended = false;  // the loop would return
};

std::string boardOf(const std::string& fen) {
    std::string error;
    const Position position = *draughts::parseFen(fen, error);
    std::string letters;
    for (int square = 1; square <= squareCount; ++square) letters += draughts::letterOf(position.at(square));
    return letters;
}

using Lines = std::vector<std::string>;

TEST(BoardProgram, ScriptsChangeTheSquaresAsAPersonWouldAndTheHostSeesEachChange) {
    struct Case {
        const char* what;
        const char* fen;  // where the board starts
        Lines script;
        Lines seen;        // after the board dump that switching updates on gives
        const char* end;   // FEN of the board at the end
    };
    const char* const startFen = "W:W31-50:B1-20";
    const Case cases[] = {
        {"hands, legal or not", startFen, {"lift 32", "put 32 K", "lift 1", "put 25 p"},
         {"032.", "032K", "001.", "025p"}, "W:W31,K32,33-50:B2-20,25"},
        {"a move", startFen, {"32-28"}, {"032.", "028P"}, "B:W28,31,33-50:B1-20"},
        {"a capture lifts the piece taken", "W:W32:B28,1", {"32x23"}, {"032.", "023P", "028."}, "B:W23:B1"},
        {"a man crowned", "W:W6:B40", {"6-1"}, {"006.", "001P", "001K"}, "B:WK1:B40"},
        {"a move taken back", "W:W32:B28,1", {"32x23", "back"}, {"032.", "023P", "028.", "023.", "028p", "032P"},
         "W:W32:B28,1"},
        {"back to the start", startFen, {"32-28", "start"}, {"032.", "028P", "028.", "032P"}, startFen},
        {"a position set up", "W:W31,32:B1", {"position B:W31:B2"}, {"001.", "032.", "002p"}, "B:W31:B2"},
        {"clock keys", startFen, {"key ready", "key mode", "key mode+startstop"},
         {"ACK: GENERATED ACK (ready)", "ACK: GENERATED ACK (mode)", "ACK: GENERATED ACK (mode, start/stop pressed)"},
         startFen},
        {"noise makes no frame", startFen, {"noise 3", "lift 32"}, {"noise", "noise", "noise", "032."},
         "W:W31,33-50:B1-20"},
        {"the changes made while the cable is out are lost", startFen,
         {"lift 31", "wait 10", "pull", "lift 32", "wait 1000", "plug", "lift 33"},
         {"031.", "<pull>", "<plug>", "033."}, "W:W34-50:B1-20"},
        {"quit ends the board after what came before", startFen, {"lift 32", "quit", "lift 33"}, {"032.", "<end>"},
         ""},
    };
    for (const Case& c : cases) {
        std::string error;
        Bench bench({*draughts::parseFen(c.fen, error), draughts::Rules::International, 100ms});
        bench.runScript(c.script);
        Lines expected{boardOf(c.fen)};
        expected.insert(expected.end(), c.seen.begin(), c.seen.end());
        // A board that has ended answers nothing more.
        if (c.seen.back() == "<end>") {
            bench.run();
        } else {
            bench.boardAtTheEnd();
            expected.push_back(boardOf(c.end));
        }
        EXPECT_EQ(bench.host.lines, expected) << c.what;
    }
}

TEST(BoardProgram, HandsThatMakeAMoveOfTheSideToMoveMakeItInAnyOrder) {
    using draughts::Rules;
    struct Case {
        const char* what;
        const char* fen;
        Rules rules;
        Lines script;  // ends with a move typed by the side that is then to move
        Lines seen;    // in 75 mode; "dump" for a board dump
        const char* end;
    };
    const char* const startFen = "W:W31-50:B1-20";
    const Case cases[] = {
        {"a capture, the captured piece lifted first", "W:W32:B28,1", Rules::International,
         {"lift 28", "lift 32", "put 23 P", "1-7"}, {"028.", "032.", "023P", "dump", "001.", "007p", "dump"},
         "B:W23:B7"},
        {"a piece lifted and put back makes no move", startFen, Rules::International, {"lift 32", "put 32 P", "32-28"},
         {"032.", "032P", "032.", "028P", "dump"}, "B:W28,31,33-50:B1-20"},
        {"the target first", startFen, Rules::International, {"put 28 P", "lift 32", "19-23"},
         {"028P", "032.", "dump", "019.", "023p", "dump"}, "W:W28,31,33-50:B1-18,20,23"},
        {"a double capture, the hands in any order", "W:W37:B32,22,1", Rules::International,
         {"lift 22", "put 17 P", "lift 32", "lift 37", "1-7"},
         {"022.", "017P", "032.", "037.", "dump", "001.", "007p", "dump"}, "W:W17:B7"},
        {"a step where a capture is due, under free rules", "W:W32:B28,1", Rules::Free,
         {"lift 32", "put 27 P", "1-7"}, {"032.", "027P", "dump", "001.", "007p", "dump"}, "W:W27:B7,28"},
        {"the same step under the rules is no move", "W:W32:B28,1", Rules::International,
         {"lift 32", "put 27 P", "27-22"}, {"032.", "027P", "027.", "022P", "dump"}, "B:W22:B1,28"},
    };
    for (const Case& c : cases) {
        std::string error;
        Bench bench({*draughts::parseFen(c.fen, error), c.rules, 100ms});
        bench.runScript(c.script, 0x4B);
        bench.run();
        Lines expected{"dump"};
        expected.insert(expected.end(), c.seen.begin(), c.seen.end());
        Lines seen;
        for (const std::string& line : bench.host.lines) seen.push_back(line.size() == squareCount ? "dump" : line);
        EXPECT_EQ(seen, expected) << c.what;
        EXPECT_EQ(bench.boardAtTheEnd(), boardOf(c.end)) << c.what;
    }
}

TEST(BoardProgram, TheReadmesScenarioPullsTheCableInMoveTwelveAndMakesNoiseOnceItIsBack) {
    const Lines script = testing_support::scenarioScript();
    ASSERT_FALSE(script.empty());
    Bench bench;
    bench.runScript(script);
    bench.run();
    const Lines& seen = bench.host.lines;
    const auto at = [&seen](const std::string& line) { return std::find(seen.begin(), seen.end(), line) - seen.begin(); };
    // White's 12th move, 46-41, then the pull before black's answer.
    ASSERT_LT(at("<pull>"), static_cast<long>(seen.size()));
    EXPECT_EQ(Lines(seen.begin() + at("<pull>") - 2, seen.begin() + at("<pull>")), (Lines{"046.", "041P"}));
    const Lines afterPlug(seen.begin() + at("<plug>") + 1, seen.end());
    Lines expected(8, "noise");
    for (const char* line : {"001.", "007p", "033.", "028P", "006.", "011p", "ACK: GENERATED ACK (mode)"}) {
        expected.push_back(line);
    }
    EXPECT_EQ(afterPlug, expected);
}

TEST(BoardProgram, CommandsThatCannotBeCarriedOutAreRefusedWhenGivenAndChangeNothing) {
    struct Case {
        Lines before;
        const char* line;
        const char* error;
    };
    const Case cases[] = {
        {{}, "lift 30", "square 30 is empty"},
        {{}, "put 31 P", "P is on square 31 already"},
        {{}, "back", "no move to take back"},
        {{"32-28", "back"}, "back", "no move to take back"},
        {{}, "plug", "the cable is in already"},
        {{"pull"}, "pull", "the cable is out already"},
        {{"32-28", "19-23"}, "37-32", "move 1 (37-32): a capture is due: 28x19"},
        {{}, "put 51 P", "put takes a square and a piece: put 28 P (P K p k)"},
        {{}, "noise 0", "noise takes a count of bytes, 1 to 10000: noise 20"},
        {{}, "key start", "key takes ready, mode or mode+startstop: key mode"},
        {{}, "position W:W99", ""},  // the FEN reader's own reason
        {{}, "help", "help is for the console"},
    };
    for (const Case& c : cases) {
        Bench bench;
        std::string error;
        ASSERT_TRUE(bench.program.runScript(textOf(c.before), start, error)) << error;
        EXPECT_FALSE(bench.program.runScript(c.line, start, error)) << c.line;
        // An empty expectation: the reason is another reader's own.
        EXPECT_EQ(*c.error == '\0' ? error.substr(0, 8) : error, "line 1: " + std::string(c.error)) << c.line;
    }
}

TEST(BoardProgram, FreeRulesTakeAnyMoveThePiecesPathsAllow) {
    Bench bench({Position::start(), draughts::Rules::Free, 100ms});
    bench.runScript({"32-28", "19-23", "37-32"});
    EXPECT_EQ(bench.boardAtTheEnd(), boardOf("B:W28,31,32,33-36,38-50:B1-18,20,23"));
}

TEST(BoardProgram, AScriptRunsWithTheSameTimingEveryTimeAndWaitsAsLongAsItSays) {
    const Lines script{"32-28", "wait 2000", "lift 1", "noise 2", "key mode"};
    std::vector<std::chrono::nanoseconds> runs[2];
    for (auto& offsets : runs) {
        Bench bench({Position::start(), draughts::Rules::International, 400ms});
        bench.runScript(script);
        bench.run();
        for (Time time : bench.host.times) offsets.push_back(time - start);
    }
    EXPECT_EQ(runs[0], runs[1]);
    // dump, 032., 028P, 001., noise, noise, ack: the lift comes the wait and
    // a pace after the move's last change.
    ASSERT_EQ(runs[0].size(), 7u);
    EXPECT_EQ(runs[0][3] - runs[0][2], 2400ms);
}

TEST(BoardProgram, AFloodingHostIsToldOnTheConsoleThatAnswersWereDropped) {
    Bench bench;
    bench.fromHost(Bytes(500, 0x42));
    bench.run(10ms);
    EXPECT_NE(bench.console.str().find("the host asks faster than the line answers: "), std::string::npos);
}

// A recording as earlier versions wrote it: a frame a board line, with the
// program's line after '#', and error lines.
TEST(BoardProgram, AReplaySendsTheRecordedFramesOnlyOnceAHostIsThereAndAnswersNothingItself) {
    Bench bench;
    bench.program.replay(
        Replay("0 open /dev/ttyUSB0\n5 program 66\n1000 board 8E 00 05 20 00  # 032.\n"
               "3000 board 8E 00 05 1C 01\n3500 error ERROR: 255 : 002 Could not read command\n"));
    bench.run(5s);
    EXPECT_TRUE(bench.host.lines.empty());
    bench.program.hostOpened(bench.now);
    const Time opened = bench.now;
    bench.fromHost({0x42});
    bench.run(5s);
    EXPECT_EQ(bench.host.lines, (Lines{"032.", "028P"}));
    ASSERT_EQ(bench.host.times.size(), 2u);
    EXPECT_EQ(bench.host.times[0] - opened, 1000ms);
    EXPECT_EQ(bench.host.times[1] - opened, 3000ms);
}

// The document's session: its bytes timed from the port's opening, the cable
// out from the loss until halfway to the next opening, and what follows that
// timed from the host's own opening.
TEST(Recording, TheDocumentsExamplePlaysTheBoardsSideAsItWas) {
    std::string text;
    for (const std::string& line : testing_support::exampleAfter(RECORDING_DOCUMENT, "## An example")) {
        text += line + "\n";
    }
    std::string error;
    ASSERT_EQ(countBoardLines(text, error), std::optional<std::size_t>(6u)) << error;
    Bench bench;
    bench.program.replay(Replay(text));
    bench.program.hostOpened(bench.now);
    const Time opened = bench.now;
    bench.run(10s);
    const std::string dump = "pppppppppppppppppppp..........PPPPPPPPPPPPPPPPPPPP";
    EXPECT_EQ(bench.host.lines, (Lines{dump, "032.", "noise", "noise", "noise", "noise", "ACK: Clock Version: ZT 01.00",
                                       "<pull>", "<plug>"}));
    // Each line's last byte when it came then (the noise's, paced at 9600
    // baud, a millisecond apart).
    std::vector<std::chrono::milliseconds> times;
    for (const std::size_t line : {0, 1, 5, 6, 7, 8}) {
        times.push_back(std::chrono::duration_cast<std::chrono::milliseconds>(bench.host.times.at(line) - opened));
    }
    EXPECT_EQ(times, (std::vector<std::chrono::milliseconds>{368ms, 472ms, 524ms, 835ms, 1716ms, 3744ms}));

    // The host opens the port again when its program asks, and the replay
    // goes on from there.
    bench.pulled = false;
    bench.now += 1s;
    const Time reopened = bench.now;
    bench.program.hostOpened(reopened);
    bench.run(10s);
    EXPECT_EQ(bench.host.lines.back(), dump);
    EXPECT_EQ(bench.host.times.back() - reopened, 61ms);
}

TEST(Recording, ABadLineIsNamed) {
    const std::pair<const char*, const char*> cases[] = {
        {"# a comment\n\nx board 80", "line 3: a line begins with its time in milliseconds, not 'x'"},
        {"5 board 8E\n4 board 8E", "line 2: the time goes back"},
        {"5 boards 8E", "line 1: 'boards' is none of open, close, lost, failed, board, host, program, relay, error"},
        {"5 board 8E 0", "line 1: a board line's bytes are pairs of hexadecimal digits, not '0'"},
        {"5 board # nothing", "line 1: a board line without bytes"},
    };
    for (const auto& [text, expected] : cases) {
        std::string error;
        EXPECT_FALSE(countBoardLines(text, error)) << text;
        EXPECT_EQ(error, expected);
    }
}

}  // namespace
