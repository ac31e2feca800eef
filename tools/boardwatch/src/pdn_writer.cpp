#include "pdn_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <thread>

namespace boardwatch {

namespace {

using Clock = std::chrono::steady_clock;

// Never blocks on what another program put under a game's name: a FIFO
// opens at once, to be refused as no regular file, and a link is not
// followed.
constexpr int openFlags = O_WRONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;

// Names taken by files of earlier runs or games begun in the same second.
constexpr int mostNamesTried = 1000;

}  // namespace

std::string checkFolder(const std::string& folder) {
    std::string probe = folder + "/.boardwatch-probe-XXXXXX";
    const int made = ::mkstemp(probe.data());
    if (made < 0) return "cannot write in " + folder + ": " + std::strerror(errno);
    ::close(made);
    ::unlink(probe.c_str());
    return "";
}

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
    int descriptor = -1;
    std::optional<std::string> onDisk;  // what the file holds, when that is known

    bool behind() const { return written != wanted; }
};

struct PdnWriter::State {
    State(std::string folder, Console& console, FileMade fileMade)
        : folder(std::move(folder)), console(console), fileMade(std::move(fileMade)) {}
    ~State() {
        for (auto& entry : files) {
            if (entry.second.descriptor >= 0) ::close(entry.second.descriptor);
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
            if (file.descriptor >= 0) ::close(file.descriptor);
            files.erase(next);
        }
        settled.notify_all();
    }
    ended = true;
    settled.notify_all();
}

std::string PdnWriter::State::open(GameFile& file, bool& made) {
    if (file.name.empty()) {
        for (int number = 1; number <= mostNamesTried; ++number) {
            const std::string name = file.baseName + (number == 1 ? "" : "-" + std::to_string(number)) + ".pdn";
            file.descriptor = ::open(path(name).c_str(), openFlags | O_CREAT | O_EXCL, 0644);
            if (file.descriptor >= 0) {
                file.name = name;
                file.onDisk = "";
                made = true;
                return "";
            }
            if (errno != EEXIST) return std::strerror(errno);
        }
        return "every name up to -" + std::to_string(mostNamesTried) + ".pdn is taken";
    }
    // Again after a failure: the file may have gone, or be a stranger now.
    file.descriptor = ::open(path(file.name).c_str(), openFlags | O_CREAT, 0644);
    if (file.descriptor < 0) return std::strerror(errno);
    struct stat status {};
    if (::fstat(file.descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(file.descriptor);
        file.descriptor = -1;
        return "it is no regular file";
    }
    file.onDisk.reset();
    return "";
}

std::string PdnWriter::State::bringUpToDate(GameFile& file, const std::string& text, bool& made) {
    if (file.descriptor < 0) {
        const std::string failure = open(file, made);
        if (!failure.empty()) return failure;
    }
    const auto fail = [&file] {
        const std::string why = std::strerror(errno);
        ::close(file.descriptor);
        file.descriptor = -1;
        file.onDisk.reset();
        return why;
    };
    // From the first byte that differs: for a move, the end of the movetext.
    std::size_t at = 0;
    if (file.onDisk) {
        const std::size_t common = std::min(file.onDisk->size(), text.size());
        at = static_cast<std::size_t>(
            std::mismatch(text.begin(), text.begin() + static_cast<long>(common), file.onDisk->begin()).first -
            text.begin());
    }
    while (at < text.size()) {
        const ssize_t written = ::pwrite(file.descriptor, text.data() + at, text.size() - at, static_cast<off_t>(at));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            if (written == 0) errno = EIO;
            return fail();
        }
        at += static_cast<std::size_t>(written);
    }
    if ((!file.onDisk || file.onDisk->size() > text.size()) &&
        ::ftruncate(file.descriptor, static_cast<off_t>(text.size())) != 0) {
        return fail();
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
