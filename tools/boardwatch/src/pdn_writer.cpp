#include "pdn_writer.h"

#include "game_file.h"

#include <algorithm>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

namespace boardwatch {

namespace {

using Clock = std::chrono::steady_clock;

// Names taken by files of earlier runs or games begun in the same second.
constexpr int mostNamesTried = 1000;

}  // namespace

// One game's file.
struct GameFile {
    // Under the lock.
    std::string baseName;
    std::shared_ptr<const std::string> wanted;   // the game's text as it stands
    std::shared_ptr<const std::string> written;  // the last text the file was brought to
    std::size_t moves = 0;
    bool closing = false;
    bool failing = false;
    Clock::time_point retryAt;
    bool triedAtFinish = false;

    // The writer thread's alone.
    std::string name;
    FileHandle handle = noFile;
    std::optional<std::string> onDisk;  // what the file holds, when that is known

    bool behind() const { return written != wanted; }
};

struct PdnWriter::State {
    State(std::string folder, Console& console, FileMade fileMade)
        : folder(std::move(folder)), console(console), fileMade(std::move(fileMade)) {}
    ~State() {
        for (auto& entry : files) {
            closeGameFile(entry.second.handle);
        }
    }

    void run();
    // The next file to bring up to date, or null; soonest: when a failed
    // one is due again.
    std::map<GameId, GameFile>::iterator nextFile(std::optional<Clock::time_point>& soonest);
    // On the writer's thread, without the lock: empty, or why it failed.
    std::string bringUpToDate(GameFile& file, const std::string& text, bool& made);
    std::string open(GameFile& file, bool& made);
    std::string path(const std::string& name) const { return folder + "/" + name; }

    const std::string folder;
    Console& console;
    const FileMade fileMade;

    std::mutex lock;
    std::condition_variable work;
    std::condition_variable settled;
    std::map<GameId, GameFile> files;
    bool finishing = false;
    bool abandoned = false;  // finish() has returned: nothing more is said
    bool ended = false;
};

std::map<PdnWriter::GameId, GameFile>::iterator PdnWriter::State::nextFile(std::optional<Clock::time_point>& soonest) {
    const Clock::time_point now = Clock::now();
    for (auto it = files.begin(); it != files.end(); ++it) {
        GameFile& file = it->second;
        if (!file.behind()) continue;
        if (finishing) {
            if (!file.triedAtFinish) return it;
        } else if (!file.failing || file.retryAt <= now) {
            return it;
        } else if (!soonest || file.retryAt < *soonest) {
            soonest = file.retryAt;
        }
    }
    return files.end();
}

void PdnWriter::State::run() {
    std::unique_lock<std::mutex> hold(lock);
    for (;;) {
        std::optional<Clock::time_point> soonest;
        const auto next = nextFile(soonest);
        if (next == files.end()) {
            if (finishing) break;
            if (soonest) {
                work.wait_until(hold, *soonest);
            } else {
                work.wait(hold);
            }
            continue;
        }
        GameFile& file = next->second;
        const std::shared_ptr<const std::string> text = file.wanted;
        bool made = false;
        hold.unlock();
        const std::string failure = bringUpToDate(file, *text, made);
        hold.lock();
        if (abandoned) return;
        if (finishing) file.triedAtFinish = true;
        if (made && fileMade) fileMade(next->first, file.name);
        const std::string shown = path(file.name.empty() ? file.baseName + ".pdn" : file.name);
        if (!failure.empty()) {
            if (!file.failing) console.line("cannot write " + shown + ": " + failure + "; trying again every second");
            file.failing = true;
            file.retryAt = Clock::now() + retryInterval;
        } else {
            file.written = text;
            if (file.failing && !file.behind()) {
                file.failing = false;
                console.line(shown + " is whole again: " + std::to_string(file.moves) + " moves");
            }
        }
        if (file.closing && !file.behind()) {
            closeGameFile(file.handle);
            files.erase(next);
        }
        settled.notify_all();
    }
    ended = true;
    settled.notify_all();
}

std::string PdnWriter::State::open(GameFile& file, bool& made) {
    std::string why;
    if (file.name.empty()) {
        for (int number = 1; number <= mostNamesTried; ++number) {
            const std::string name = file.baseName + (number == 1 ? "" : "-" + std::to_string(number)) + ".pdn";
            const Creation creation = createGameFile(path(name), file.handle, why);
            if (creation == Creation::Made) {
                file.name = name;
                file.onDisk = "";
                made = true;
                return "";
            }
            if (creation == Creation::Failed) return why;
        }
        return "every name up to -" + std::to_string(mostNamesTried) + ".pdn is taken";
    }
    // Again after a failure, or a game taken up from an earlier run: the
    // file may have gone, or be a stranger now.
    if (!reopenGameFile(path(file.name), file.handle, why)) return why;
    file.onDisk.reset();
    return "";
}

std::string PdnWriter::State::bringUpToDate(GameFile& file, const std::string& text, bool& made) {
    if (file.handle == noFile) {
        const std::string failure = open(file, made);
        if (!failure.empty()) return failure;
    }
    // From the first byte that differs: for a move, the end of the movetext.
    std::size_t at = 0;
    if (file.onDisk) {
        const std::size_t common = std::min(file.onDisk->size(), text.size());
        at = static_cast<std::size_t>(
            std::mismatch(text.begin(), text.begin() + static_cast<long>(common), file.onDisk->begin()).first -
            text.begin());
    }
    const bool cut = !file.onDisk || file.onDisk->size() > text.size();
    std::string why;
    if (!writeGameFile(file.handle, text, at, cut, why)) {
        closeGameFile(file.handle);
        file.handle = noFile;
        file.onDisk.reset();
        return why;
    }
    file.onDisk = text;
    return "";
}

PdnWriter::PdnWriter(std::string folder, Console& console, FileMade fileMade)
    : state(std::make_shared<State>(std::move(folder), console, std::move(fileMade))) {
    // The thread owns the state with us: a writer left stalled at finish()
    // still has its files.
    std::thread([state = state] { state->run(); }).detach();
}

PdnWriter::~PdnWriter() {
    if (!finished) finish();
}

void PdnWriter::write(GameId game, const std::string& baseName, const std::string& fileName, std::string text,
                      std::size_t moves) {
    std::lock_guard<std::mutex> hold(state->lock);
    if (state->finishing) return;
    GameFile& file = state->files[game];
    if (file.baseName.empty()) {
        file.baseName = baseName;
        // Before the writer's thread has seen the file: the lock hands it over.
        file.name = fileName;
    }
    file.wanted = std::make_shared<const std::string>(std::move(text));
    file.moves = moves;
    state->work.notify_one();
}

void PdnWriter::close(GameId game) {
    std::lock_guard<std::mutex> hold(state->lock);
    const auto found = state->files.find(game);
    if (found == state->files.end()) return;
    found->second.closing = true;
    state->work.notify_one();
}

std::size_t PdnWriter::finish(std::chrono::milliseconds patience) {
    finished = true;
    std::unique_lock<std::mutex> hold(state->lock);
    state->finishing = true;
    state->work.notify_one();
    state->settled.wait_for(hold, patience, [this] { return state->ended; });
    state->abandoned = true;
    return static_cast<std::size_t>(std::count_if(state->files.begin(), state->files.end(),
                                                  [](const auto& entry) { return entry.second.behind(); }));
}

}  // namespace boardwatch
