// boardsim's peak memory once it has read what it is given, beside the
// size of the file: a PDN file of many games (the last one asked for), a
// long script, a long recording. Each reader is to need little beyond the
// file's own text.
//
// usage: boardsim_files_bench [MEGABYTES [BOARDSIM]]
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "child_process.h"
#include "relay_compare/system_figures.h"

namespace {

using testing_support::ChildProcess;

// At least `bytes` of text, made piece by piece by `make`.
template <typename Make>
std::string repeated(std::size_t bytes, Make make) {
    std::string text;
    for (int i = 0; text.size() < bytes; ++i) text += make(i);
    return text;
}

// Starts boardsim on the file and reads its peak once the board is on.
long peakOf(const std::string& binary, const std::string& link, std::vector<std::string> arguments) {
    std::vector<std::string> words{binary, "--link", link};
    words.insert(words.end(), arguments.begin(), arguments.end());
    ChildProcess boardsim(words, ChildProcess::Output::Collected);
    boardsim.closeInput();
    if (!boardsim.waitForConsole("board on ", std::chrono::minutes(2))) return -1;
    const long peak = relay_compare::statusKiB(boardsim.pid(), "VmHWM");
    boardsim.stop({}, SIGTERM);
    return peak;
}

}  // namespace

int main(int argc, char** argv) {
    const std::size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 20;
    const std::string binary = argc > 2 ? argv[2] : BOARDSIM_BINARY;
    char directory[] = "/tmp/boardsim-files-XXXXXX";
    if (::mkdtemp(directory) == nullptr) return 1;
    const std::string link = std::string(directory) + "/board";
    const std::size_t bytes = megabytes * 1024 * 1024;

    const std::string game =
        "[Event \"Club\"]\n[White \"A\"]\n[Black \"B\"]\n[Result \"2-0\"]\n\n"
        "1. 32-28 19-23 2. 28x19 14x23 3. 37-32 10-14 4. 41-37 5-10 2-0\n\n";
    const std::string pdn = repeated(bytes, [&game](int) { return game; });
    const int games = static_cast<int>(pdn.size() / game.size());
    const std::string script = repeated(bytes, [](int) { return std::string("lift 32\nput 32 P\n"); });
    const std::string recording = "0 open /dev/ttyUSB0\n" + repeated(bytes, [](int i) {
                                      return std::to_string(i) + " board 8E 00 05 20 00  # 032.\n";
                                  });

    std::printf("boardsim %s: peak resident size once the board is on\n", binary.c_str());
    std::printf("%-32s %10s %12s %8s\n", "given", "file KiB", "peak KiB", "peak/file");
    const long idle = peakOf(binary, link, {});
    std::printf("%-32s %10s %12ld %8s\n", "nothing", "-", idle, "-");
    struct Case {
        std::string what;
        std::string file;
        const std::string& text;
        std::vector<std::string> arguments;
    };
    const std::string last = std::to_string(std::min(games, 99999));
    const Case cases[] = {
        {"--game, game " + last, "games.pdn", pdn, {"--game", "", "--game-number", last}},
        {"--script", "script.txt", script, {"--script", ""}},
        {"--replay", "session.rec", recording, {"--replay", ""}},
    };
    for (const Case& c : cases) {
        const std::string path = std::string(directory) + "/" + c.file;
        std::ofstream(path, std::ios::binary) << c.text;
        std::vector<std::string> arguments = c.arguments;
        arguments[1] = path;
        const long peak = peakOf(binary, link, arguments);
        const long fileKiB = static_cast<long>(c.text.size() / 1024);
        std::printf("%-32s %10ld %12ld %8.2f\n", c.what.c_str(), fileKiB, peak,
                    peak > 0 ? static_cast<double>(peak) / static_cast<double>(fileKiB) : -1.0);
        ::unlink(path.c_str());
    }
    ::rmdir(directory);
    return 0;
}
