// The games' files under a disk that fails or a folder with strangers in
// it: the writer on its own (appending, another name), and through the real
// boardwatch a disk that refuses every write for a while.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <draughts/pdn.h>

#include "pdn_writer.h"
#include "watch_processes.h"

namespace watchtest {
namespace {

TEST(PdnWriter, AppendsEachMoveAndTakesAnotherNameThanAStrangersFifo) {
    const ScratchFolder folder;
    // A FIFO nobody reads under the game's name: opening it would block.
    ASSERT_EQ(::mkfifo(folder.path("b-1.pdn").c_str(), 0600), 0);
    const int devNull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    boardwatch::Console console(devNull);
    std::atomic<int> filesMade{0};
    boardwatch::PdnWriter writer(folder.path(), console, [&](auto, const std::string& name) {
        EXPECT_EQ(name, "b-1-2.pdn");
        ++filesMade;
    });
    const std::string file = folder.path("b-1-2.pdn");
    const auto writes = [&](const std::string& text, const std::string& expected) {
        writer.write(7, "b-1", "", text, 1);
        return waitUntil([&] { return readFile(file) == expected; }, 10s);
    };
    ASSERT_TRUE(writes("[Result \"*\"]\n\n1. 32-28 *\n", "[Result \"*\"]\n\n1. 32-28 *\n"));
    // What the file held before stays as it is: a move is appended.
    std::fstream(file, std::ios::in | std::ios::out) << "{";
    EXPECT_TRUE(writes("[Result \"*\"]\n\n1. 32-28 19-23 *\n", "{Result \"*\"]\n\n1. 32-28 19-23 *\n")) << readFile(file);
    EXPECT_TRUE(writes("[Result \"*\"]\n\n1. 32-28 *\n", "{Result \"*\"]\n\n1. 32-28 *\n")) << readFile(file);
    EXPECT_EQ(writer.finish(), 0u);
    EXPECT_EQ(filesMade, 1);
    ::close(devNull);
}

TEST_F(WatchedGame, AGameWhoseFileCannotBeWrittenIsWrittenWholeOnceTheDiskTakesItAgain) {
    startWatch();
    // No byte may be written, as on a full disk.
    rlimit limit{};
    ASSERT_EQ(::prlimit(watch->pid(), RLIMIT_FSIZE, nullptr, &limit), 0);
    const rlimit full{0, limit.rlim_max};
    ASSERT_EQ(::prlimit(watch->pid(), RLIMIT_FSIZE, &full, nullptr), 0);
    startBoardsimPlayingTheGame();
    startRelay();
    ASSERT_TRUE(waitForMoves(gameMoves.size())) << watch->console();
    ASSERT_TRUE(watch->waitForConsole("; trying again every second")) << watch->console();
    ASSERT_EQ(pdnFiles().size(), 1u);
    EXPECT_EQ(readFile(pdnFiles()[0]), "");

    ASSERT_EQ(::prlimit(watch->pid(), RLIMIT_FSIZE, &limit, nullptr), 0);
    ASSERT_TRUE(watch->waitForConsole(" is whole again: 24 moves")) << watch->console();
    std::string error;
    const std::vector<draughts::PdnGame> games = draughts::readPdn(readFile(pdnFiles()[0]), error);
    ASSERT_EQ(games.size(), 1u) << error;
    EXPECT_EQ(games[0].moves, gameMoves);
    // Once when it failed, once when it was whole again.
    const std::string console = watch->console();
    EXPECT_EQ(console.find("cannot write"), console.rfind("cannot write")) << console;
}

}  // namespace
}  // namespace watchtest
