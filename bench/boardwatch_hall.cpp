// A tournament hall on one machine: 50 boardsims play 50 different games
// at once, each behind a damrelay of its own, and one boardwatch follows
// all of them while 100 viewers watch the page. Prints boardwatch's CPU
// use and its resident memory over the run, and whether every move of every
// game was recognised. A benchmark, not a test: it judges nothing.
//
//   boardwatch_hall [--boards N] [--viewers N] [--plies N] [--pace MS]
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <draughts/notation.h>

#include <atomic>
#include <boost/format.hpp>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
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
    int boards = 50;
    int viewers = 100;
    int plies = 80;
    int pace = 50;
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

// Viewers of the page's events, read on a thread of their own and thrown
// away, as browsers that keep up.
class Viewers {
public:
    Viewers(int port, int count) {
        for (int i = 0; i < count; ++i) {
            const int fd = connectTo(port);
            if (fd < 0) continue;
            const std::string request = "GET /events HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
            ::send(fd, request.data(), request.size(), MSG_NOSIGNAL);
            fds.push_back({fd, POLLIN, 0});
        }
        reader = std::thread([this] { read(); });
    }
    ~Viewers() {
        done = true;
        reader.join();
        for (const pollfd& p : fds) ::close(p.fd);
    }
    std::size_t connected() const { return fds.size(); }
    long long bytes() const { return received; }

private:
    void read() {
        char buffer[65536];
        while (!done) {
            if (::poll(fds.data(), fds.size(), 100) <= 0) continue;
            for (pollfd& p : fds) {
                if (!(p.revents & (POLLIN | POLLHUP))) continue;
                const ssize_t got = ::recv(p.fd, buffer, sizeof buffer, 0);
                if (got > 0) received += got;
            }
        }
    }

    std::vector<pollfd> fds;
    std::thread reader;
    std::atomic<bool> done{false};
    std::atomic<long long> received{0};
};

Settings readSettings(int argc, char** argv) {
    Settings settings;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string word = argv[i];
        const int value = std::stoi(argv[i + 1]);
        if (word == "--boards") settings.boards = value;
        if (word == "--viewers") settings.viewers = value;
        if (word == "--plies") settings.plies = value;
        if (word == "--pace") settings.pace = value;
    }
    return settings;
}

double cpuMilliseconds(pid_t pid) {
    return relay_compare::cpuTime(pid).bestMicroseconds() / 1000.0;
}

}  // namespace

int main(int argc, char** argv) {
    const Settings settings = readSettings(argc, argv);
    const std::filesystem::path hall = std::filesystem::temp_directory_path() / ("boardwatch-hall-" + std::to_string(::getpid()));
    std::filesystem::create_directories(hall / "games");

    std::vector<std::vector<std::string>> games;
    std::vector<std::unique_ptr<ChildProcess>> boards, relays;
    std::vector<std::string> watchArguments{BOARDWATCH_BINARY, "--pdn", (hall / "games").string()};
    for (int i = 0; i < settings.boards; ++i) {
        games.push_back(randomGame(static_cast<unsigned>(i + 1), settings.plies));
        const std::string game = (hall / ("game" + std::to_string(i))).string(), link = (hall / ("board" + std::to_string(i))).string();
        std::ofstream(game) << [&] {
            std::string text;
            for (const std::string& move : games.back()) text += move + "\n";
            return text;
        }();
        boards.push_back(std::make_unique<ChildProcess>(
            std::vector<std::string>{BOARDSIM_BINARY, "--link", link, "--pace", std::to_string(settings.pace), "--game", game},
            ChildProcess::Output::Discarded));
        const int port = freeTcpPort();
        relays.push_back(std::make_unique<ChildProcess>(
            std::vector<std::string>{DAMRELAY_BINARY, "--listen", "127.0.0.1", "--map", "COM3=" + link, std::to_string(port)},
            ChildProcess::Output::Discarded));
        watchArguments.push_back("127.0.0.1:" + std::to_string(port) + "/COM3");
    }
    const int pagePort = freeTcpPort();
    watchArguments.insert(watchArguments.begin() + 1, {"--http", "127.0.0.1:" + std::to_string(pagePort)});
    std::this_thread::sleep_for(500ms);
    ChildProcess watch(watchArguments, ChildProcess::Output::Discarded);

    const auto boardsNow = [&] {
        const std::string state = get(pagePort, "/state.json");
        return state.empty() ? nlohmann::json::array() : nlohmann::json::parse(state)["boards"];
    };
    const auto count = [&](const nlohmann::json& all, const char* link) {
        int n = 0;
        for (const auto& board : all) n += board["link"] == link;
        return n;
    };
    std::this_thread::sleep_for(200ms);
    const long startKiB = relay_compare::statusKiB(watch.pid(), "VmRSS");
    Viewers viewers(pagePort, settings.viewers);
    const auto started = Clock::now();
    const double startCpu = cpuMilliseconds(watch.pid());
    std::cout << boost::format("%1% boards, %2% viewers connected, games of up to %3% plies at a pace of %4% ms\n") %
                     settings.boards % viewers.connected() % settings.plies % settings.pace;
    std::cout << boost::format("boardwatch VmRSS before the viewers: %1% KiB\n") % startKiB;
    std::cout << "  s   following  moves seen  VmRSS KiB  CPU % of one core (since start)\n";
    std::size_t expected = 0;
    for (const auto& game : games) expected += game.size();
    std::size_t seen = 0;
    for (int tick = 1; tick <= 600 && seen < expected; ++tick) {
        std::this_thread::sleep_for(2s);
        const nlohmann::json all = boardsNow();
        seen = 0;
        for (const auto& board : all) seen += board["moves"].size();
        const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
        std::cout << boost::format("%1$3.0f  %2$10d  %3$10d  %4$9d  %5$.2f\n") % seconds % count(all, "following") % seen %
                         relay_compare::statusKiB(watch.pid(), "VmRSS") %
                         ((cpuMilliseconds(watch.pid()) - startCpu) / (seconds * 10.0));
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
    const double cpu = cpuMilliseconds(watch.pid()) - startCpu;
    const nlohmann::json all = boardsNow();
    int recognised = 0;
    for (std::size_t i = 0; i < games.size() && i < all.size(); ++i) {
        recognised += all[i]["moves"].get<std::vector<std::string>>() == games[i];
    }
    std::cout << boost::format("\nboardwatch: %1$.0f ms CPU in %2$.1f s = %3$.2f %% of one core; VmRSS %4% KiB (peak %5% KiB)\n") %
                     cpu % seconds % (cpu / (seconds * 10.0)) % relay_compare::statusKiB(watch.pid(), "VmRSS") %
                     relay_compare::statusKiB(watch.pid(), "VmHWM");
    std::cout << boost::format("games recognised move for move: %1% of %2% (%3% of %4% moves seen)\n") % recognised %
                     games.size() % seen % expected;
    std::cout << boost::format("the viewers received %1$.1f MB\n") % (viewers.bytes() / 1e6);
    watch.stop();
    std::filesystem::remove_all(hall);
    return 0;
}
