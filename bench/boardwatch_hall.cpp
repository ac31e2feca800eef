// A tournament hall on one machine: 200 boardsims, each behind a damrelay
// of its own, one boardwatch following all of them, and 500 viewers on its
// page. The bench plays the moves: it types each board's next move into its
// boardsim in turn, and each viewer notes when the page's event with that
// move reaches it. Prints the time from a move typed on a board to the
// viewers (median, 99th percentile, most), boardwatch's CPU use and its
// resident memory, and whether every move of every game was recognised.
// A benchmark, not a test: it judges nothing.
//
//   boardwatch_hall [--boards N] [--viewers N] [--plies N] [--every MS]
//
// --every: the time between two moves in the hall (default 50 ms: 20 moves
// a second, many times what 200 boards at a classical pace play).
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <draughts/notation.h>

#include <algorithm>
#include <atomic>
#include <boost/format.hpp>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <random>
#include <thread>

#include "child_process.h"
#include "program_client.h"
#include "relay_compare/system_figures.h"

namespace {

using namespace std::chrono_literals;
using testing_support::ChildProcess;
using testing_support::freeTcpPort;
using Clock = std::chrono::steady_clock;

struct Settings {
    int boards = 200;
    int viewers = 500;
    int plies = 20;
    int every = 50;
};

int connectTo(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// The body of GET target, by HTTP/1.0 so that the server closes after it.
std::string get(int port, const std::string& target) {
    const int fd = connectTo(port);
    if (fd < 0) return "";
    const std::string request = "GET " + target + " HTTP/1.0\r\n\r\n";
    if (::send(fd, request.data(), request.size(), MSG_NOSIGNAL) < 0) return "";
    std::string answer;
    char buffer[65536];
    for (ssize_t got; (got = ::recv(fd, buffer, sizeof buffer, 0)) > 0;) answer.append(buffer, static_cast<std::size_t>(got));
    ::close(fd);
    const std::size_t body = answer.find("\r\n\r\n");
    return body == std::string::npos ? "" : answer.substr(body + 4);
}

// A seeded random game under the full rules, as move texts.
std::vector<std::string> randomGame(unsigned seed, int plies) {
    std::mt19937 random(seed);
    draughts::Position position = draughts::Position::start();
    std::vector<std::string> moves;
    for (int ply = 0; ply < plies; ++ply) {
        const std::vector<draughts::Move> legal = draughts::legalMoves(position);
        if (legal.empty()) break;
        const draughts::Move& move = legal[random() % legal.size()];
        moves.push_back(draughts::notationOf(position, move));
        position = draughts::afterMove(position, move);
    }
    return moves;
}

// When each move was typed: by board, the moves typed so far.
class Typed {
public:
    void note(int board, std::size_t count) {
        std::lock_guard<std::mutex> hold(lock);
        times[{board, count}] = Clock::now();
    }
    std::optional<Clock::time_point> at(int board, std::size_t count) {
        std::lock_guard<std::mutex> hold(lock);
        const auto found = times.find({board, count});
        return found == times.end() ? std::nullopt : std::optional<Clock::time_point>(found->second);
    }

private:
    std::mutex lock;
    std::map<std::pair<int, std::size_t>, Clock::time_point> times;
};

// Viewers of the page's events, read on a thread of their own: each
// "moves" event's board and count, timed against the move's typing.
class Viewers {
public:
    Viewers(int port, int count, Typed& typed) : typed(typed) {
        for (int i = 0; i < count; ++i) {
            const int fd = connectTo(port);
            if (fd < 0) continue;
            const std::string request = "GET /events HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
            ::send(fd, request.data(), request.size(), MSG_NOSIGNAL);
            fds.push_back({fd, POLLIN, 0});
        }
        pending.resize(fds.size());
        reader = std::thread([this] { read(); });
    }
    ~Viewers() {
        done = true;
        reader.join();
        for (const pollfd& p : fds) ::close(p.fd);
    }
    std::size_t connected() const { return fds.size(); }
    long long bytes() const { return received; }
    std::vector<double> latencies() {
        std::lock_guard<std::mutex> hold(lock);
        return milliseconds;
    }

private:
    void read() {
        char buffer[65536];
        while (!done) {
            if (::poll(fds.data(), fds.size(), 100) <= 0) continue;
            for (std::size_t i = 0; i < fds.size(); ++i) {
                if (!(fds[i].revents & (POLLIN | POLLHUP))) continue;
                const ssize_t got = ::recv(fds[i].fd, buffer, sizeof buffer, 0);
                if (got <= 0) continue;
                received += got;
                pending[i].append(buffer, static_cast<std::size_t>(got));
                take(pending[i], Clock::now());
            }
        }
    }
    // Whole events only; "moves" events are {"added":...,"count":N,...,"id":B,...}.
    void take(std::string& stream, Clock::time_point now) {
        std::size_t end;
        while ((end = stream.find("\n\n")) != std::string::npos) {
            const std::string event = stream.substr(0, end);
            stream.erase(0, end + 2);
            if (event.compare(0, 12, "event: moves") != 0) continue;
            const std::size_t count = event.find("\"count\":"), id = event.find("\"id\":");
            if (count == std::string::npos || id == std::string::npos) continue;
            const auto when = typed.at(std::stoi(event.substr(id + 5)), std::stoul(event.substr(count + 8)));
            if (!when) continue;
            std::lock_guard<std::mutex> hold(lock);
            milliseconds.push_back(std::chrono::duration<double, std::milli>(now - *when).count());
        }
    }

    Typed& typed;
    std::vector<pollfd> fds;
    std::vector<std::string> pending;
    std::thread reader;
    std::atomic<bool> done{false};
    std::atomic<long long> received{0};
    std::mutex lock;
    std::vector<double> milliseconds;
};

Settings readSettings(int argc, char** argv) {
    Settings settings;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string word = argv[i];
        const int value = std::stoi(argv[i + 1]);
        if (word == "--boards") settings.boards = value;
        if (word == "--viewers") settings.viewers = value;
        if (word == "--plies") settings.plies = value;
        if (word == "--every") settings.every = value;
    }
    return settings;
}

double cpuMilliseconds(pid_t pid) { return relay_compare::cpuTime(pid).bestMicroseconds() / 1000.0; }

double percentile(std::vector<double> values, double fraction) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<std::size_t>(fraction * static_cast<double>(values.size())))];
}

}  // namespace

int main(int argc, char** argv) {
    const Settings settings = readSettings(argc, argv);
    // Pipes and viewers' sockets: more than the usual 1024.
    rlimit limit{};
    ::getrlimit(RLIMIT_NOFILE, &limit);
    limit.rlim_cur = limit.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &limit);
    const std::filesystem::path hall =
        std::filesystem::temp_directory_path() / ("boardwatch-hall-" + std::to_string(::getpid()));
    std::filesystem::create_directories(hall / "games");
    std::cout << "load average at the start: " << relay_compare::loadAverage() << "\n";

    std::vector<std::vector<std::string>> games;
    std::vector<std::unique_ptr<ChildProcess>> boards, relays;
    std::vector<std::string> watchArguments{BOARDWATCH_BINARY, "--pdn", (hall / "games").string()};
    for (int i = 0; i < settings.boards; ++i) {
        games.push_back(randomGame(static_cast<unsigned>(i + 1), settings.plies));
        const std::string link = (hall / ("board" + std::to_string(i))).string();
        boards.push_back(std::make_unique<ChildProcess>(
            std::vector<std::string>{BOARDSIM_BINARY, "--link", link, "--pace", "0"}, ChildProcess::Output::Discarded));
        const int port = freeTcpPort();
        relays.push_back(std::make_unique<ChildProcess>(
            std::vector<std::string>{DAMRELAY_BINARY, "--listen", "127.0.0.1", "--map", "COM3=" + link, std::to_string(port)},
            ChildProcess::Output::Discarded));
        watchArguments.push_back("127.0.0.1:" + std::to_string(port) + "/COM3");
    }
    const int pagePort = freeTcpPort();
    watchArguments.insert(watchArguments.begin() + 1, {"--http", "127.0.0.1:" + std::to_string(pagePort)});
    std::this_thread::sleep_for(1s);
    ChildProcess watch(watchArguments, ChildProcess::Output::Discarded);

    const auto boardsNow = [&] {
        const std::string state = get(pagePort, "/state.json");
        return state.empty() ? nlohmann::json::array() : nlohmann::json::parse(state)["boards"];
    };
    const auto following = [&] {
        int n = 0;
        for (const auto& board : boardsNow()) n += board["link"] == "following" && board["status"] == "in position";
        return n;
    };
    for (int tries = 0; tries < 600 && following() < settings.boards; ++tries) std::this_thread::sleep_for(200ms);
    const long startKiB = relay_compare::statusKiB(watch.pid(), "VmRSS");
    Typed typed;
    Viewers viewers(pagePort, settings.viewers, typed);
    std::this_thread::sleep_for(2s);
    std::cout << boost::format("%1% boards (%2% following), %3% viewers, games of up to %4% plies, a move every %5% ms\n") %
                     settings.boards % following() % viewers.connected() % settings.plies % settings.every;
    std::cout << boost::format("boardwatch VmRSS before the viewers: %1% KiB\n") % startKiB;

    const auto started = Clock::now();
    const double startCpu = cpuMilliseconds(watch.pid());
    std::size_t expected = 0;
    for (const auto& game : games) expected += game.size();
    std::vector<std::size_t> played(games.size(), 0);
    auto next = Clock::now();
    for (std::size_t move = 0; move < expected;) {
        for (std::size_t board = 0; board < games.size() && move < expected; ++board) {
            if (played[board] == games[board].size()) continue;
            std::this_thread::sleep_until(next);
            next += std::chrono::milliseconds(settings.every);
            typed.note(static_cast<int>(board), ++played[board]);
            boards[board]->type(games[board][played[board] - 1] + "\n");
            ++move;
        }
    }
    std::this_thread::sleep_for(3s);
    const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
    const double cpu = cpuMilliseconds(watch.pid()) - startCpu;
    const nlohmann::json all = boardsNow();
    int recognised = 0;
    std::size_t seen = 0;
    for (std::size_t i = 0; i < games.size() && i < all.size(); ++i) {
        recognised += all[i]["moves"].get<std::vector<std::string>>() == games[i];
        seen += all[i]["moves"].size();
    }
    const std::vector<double> latencies = viewers.latencies();
    std::cout << boost::format("move typed on a board to a viewer (%1% arrivals): median %2$.1f ms, p99 %3$.1f ms, most %4$.1f ms\n") %
                     latencies.size() % percentile(latencies, 0.5) % percentile(latencies, 0.99) %
                     percentile(latencies, 1.0);
    std::cout << boost::format("boardwatch: %1$.0f ms CPU in %2$.1f s = %3$.2f %% of one core; VmRSS %4% KiB (peak %5% KiB)\n") %
                     cpu % seconds % (cpu / (seconds * 10.0)) % relay_compare::statusKiB(watch.pid(), "VmRSS") %
                     relay_compare::statusKiB(watch.pid(), "VmHWM");
    std::cout << boost::format("games recognised move for move: %1% of %2% (%3% of %4% moves seen)\n") % recognised %
                     games.size() % seen % expected;
    std::cout << boost::format("the viewers received %1$.1f MB\n") % (viewers.bytes() / 1e6);
    std::cout << "load average at the end: " << relay_compare::loadAverage() << "\n";
    watch.stop();
    std::filesystem::remove_all(hall);
    return 0;
}
