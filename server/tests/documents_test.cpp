// The documents agree with the relay: every transcript in the protocol
// document for program authors, played against the real damrelay and
// boardsim, the options of the man page against --help, and every file the
// architecture document names against the source tree.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "child_process.h"
#include "link_test_support.h"
#include "program_client.h"
#include "relay_process.h"

namespace {

using namespace std::chrono_literals;
using testing_support::ChildProcess;
using testing_support::ProgramClient;
using testing_support::RelayProcess;

std::string contentOf(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct Transcript {
    int firstLine;  // in the document, for the failure's message
    std::vector<std::string> lines;
};

// The fenced blocks whose info string is "transcript".
std::vector<Transcript> transcriptsIn(const std::string& markdown) {
    std::vector<Transcript> found;
    std::istringstream lines(markdown);
    bool inside = false;
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
        ++number;
        if (!inside && line == "```transcript") {
            found.push_back({number + 1, {}});
            inside = true;
        } else if (inside && line == "```") {
            inside = false;
        } else if (inside) {
            found.back().lines.push_back(line);
        }
    }
    return found;
}

// boardsim behind a link that stays where it is when the board is ended and
// started again, as a cable pulled and put back.
class BoardsimBehindLink {
public:
    BoardsimBehindLink() { plugIn(); }

    std::string link() const { return scratch.boardLink(); }
    bool plugIn() {
        board = std::make_unique<ChildProcess>(
            std::vector<std::string>{BOARDSIM_BINARY, "--pace", "0", "--link", link()});
        return board->waitForConsole("link " + link());
    }
    void pull() { board.reset(); }
    void type(const std::string& line) { board->type(line + "\n"); }

private:
    const linktest::ScratchDir scratch;
    std::unique_ptr<ChildProcess> board;
};

// Plays one transcript: a fresh boardsim and relay, the program's side
// sent and checked line by line.
void play(const Transcript& transcript) {
    BoardsimBehindLink board;
    const int port = testing_support::freeTcpPort();
    RelayProcess relay({"--map", "COM3=" + board.link(), std::to_string(port)});
    ProgramClient program(port);
    ASSERT_TRUE(program.connected());
    int number = transcript.firstLine;
    for (const std::string& line : transcript.lines) {
        SCOPED_TRACE(std::to_string(number++) + ": " + line);
        if (line.rfind("> ", 0) == 0) {
            program.sendLine(line.substr(2));
        } else if (line.rfind("< ", 0) == 0) {
            ASSERT_EQ(program.readLine(10s), line.substr(2));
        } else if (line.rfind("boardsim> ", 0) == 0) {
            board.type(line.substr(10));
        } else if (line == "(the cable is pulled)") {
            board.pull();
        } else if (line == "(the cable is put back)") {
            ASSERT_TRUE(board.plugIn());
        } else {
            FAIL() << "not a transcript line";
        }
    }
    EXPECT_EQ(program.readLine(500ms), std::nullopt) << "a line the transcript does not show";
}

TEST(DocumentsTest, EveryTranscriptOfTheProtocolDocumentIsWhatTheRelayAndBoardsimSay) {
    const std::vector<Transcript> transcripts = transcriptsIn(contentOf(PROTOCOL_DOCUMENT));
    ASSERT_FALSE(transcripts.empty());
    for (const Transcript& transcript : transcripts) {
        SCOPED_TRACE("the transcript at line " + std::to_string(transcript.firstLine) + " of " PROTOCOL_DOCUMENT);
        play(transcript);
    }
}

// The long options a text names, such as --map. Roff writes each '-' of
// an option as "\-".
std::set<std::string> optionsIn(const std::string& text) {
    std::string plain;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 2, "\\-") != 0) plain += text[i];
    }
    std::set<std::string> options;
    for (std::size_t at = plain.find("--"); at != std::string::npos; at = plain.find("--", at + 2)) {
        std::size_t end = at + 2;
        while (end < plain.size() && std::islower(static_cast<unsigned char>(plain[end]))) ++end;
        if (end > at + 2) options.insert(plain.substr(at, end - at));
    }
    return options;
}

TEST(DocumentsTest, EachManPageNamesTheOptionsThatItsProgramsHelpNames) {
    struct Program {
        std::string binary;
        std::string manPage;
    };
    const Program programs[] = {
        {DAMRELAY_BINARY, DAMRELAY_MAN_PAGE}, {BOARDSIM_BINARY, BOARDSIM_MAN_PAGE}, {BOARDWATCH_BINARY, BOARDWATCH_MAN_PAGE}};
    for (const Program& program : programs) {
        SCOPED_TRACE(program.manPage);
        RelayProcess help({"--help"}, {program.binary});
        ASSERT_EQ(help.waitForExit(), 0);
        const std::set<std::string> usage = optionsIn(help.consoleAtEnd());
        EXPECT_TRUE(usage.count("--help"));
        EXPECT_EQ(optionsIn(contentOf(program.manPage)), usage);
    }
}

// The paths a text names: the spans in backticks with a '/' and no space,
// such as `server/src/session.cpp` or `driver/`.
std::vector<std::string> pathsIn(const std::string& markdown) {
    std::vector<std::string> paths;
    for (std::size_t open = markdown.find('`'); open != std::string::npos;) {
        const std::size_t close = markdown.find('`', open + 1);
        if (close == std::string::npos) break;
        const std::string span = markdown.substr(open + 1, close - open - 1);
        if (span.find('/') != std::string::npos && span.find(' ') == std::string::npos) paths.push_back(span);
        open = markdown.find('`', close + 1);
    }
    return paths;
}

TEST(DocumentsTest, EveryFileTheArchitectureDocumentNamesExists) {
    const std::vector<std::string> paths = pathsIn(contentOf(ARCHITECTURE_DOCUMENT));
    ASSERT_GT(paths.size(), 20u);
    for (const std::string& path : paths) {
        EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(SOURCE_DIR) / path)) << path;
    }
}

}  // namespace
