#ifndef BOARDWATCH_TESTS_WATCH_PROCESSES_H
#define BOARDWATCH_TESTS_WATCH_PROCESSES_H

// boardsim, damrelay and boardwatch started as processes for a test, each
// with its console on pipes, in a scratch folder of the test's own.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <boost/asio/connect.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/http.hpp>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <string>
#include <thread>

#include "child_process.h"
#include "program_client.h"
#include "relay_process.h"

namespace watchtest {

using namespace std::chrono_literals;
using testing_support::ChildProcess;
using testing_support::freeTcpPort;
using testing_support::RelayProcess;

// A game with captures that ends in black's promotion by capture.
inline const std::vector<std::string> gameMoves{
    "35-30", "18-22", "33-29", "19-24", "30x19", "13x33", "38x29", "14-19", "29-24", "19x30", "34x14", "9x20",
    "31-27", "22x31", "36x27", "20-24", "37-31", "24-30", "42-38", "12-18", "48-42", "4-9",   "27-21", "17x48"};
inline const std::string gameEnd = "W:W32,38,39,40,41,43,44,45,46,47,49,50:B1,2,3,5,6,7,8,9,10,11,15,16,18,30,K48";

class ScratchFolder {
public:
    ScratchFolder() {
        std::string name = (std::filesystem::temp_directory_path() / "boardwatch-test-XXXXXX").string();
        folder = ::mkdtemp(name.data());
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    std::string path(const std::string& name = "") const { return (folder / name).string(); }
    std::string write(const std::string& name, const std::string& text) const {
        std::ofstream(path(name)) << text;
        return path(name);
    }

private:
    std::filesystem::path folder;
};

inline std::string readFile(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

inline bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 30s) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(50ms);
    }
    return true;
}

// A request's bytes sent to the local port, and everything that came back
// until the server closed the connection or a second passed in silence.
inline std::string httpExchange(int port, const std::string& request) {
    testing_support::ProgramClient client(port);
    client.send(request);
    std::string answer;
    for (std::string got; !(got = client.readSome(1s)).empty();) answer += got;
    return answer;
}

// The body of a GET on the local port, or empty when none came.
inline std::optional<std::string> httpGet(int port, const std::string& target) {
    namespace http = boost::beast::http;
    try {
        boost::asio::io_context context;
        boost::asio::ip::tcp::socket socket(context);
        socket.connect({boost::asio::ip::make_address("127.0.0.1"), static_cast<unsigned short>(port)});
        http::request<http::empty_body> request(http::verb::get, target, 11);
        request.set(http::field::host, "127.0.0.1");
        http::write(socket, request);
        boost::beast::flat_buffer buffer;
        http::response<http::string_body> response;
        http::read(socket, buffer, response);
        if (response.result() != http::status::ok) return std::nullopt;
        return response.body();
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// boardsim on a link in the scratch folder, damrelay with that board as
// COM3, and boardwatch following it with its page on a free port and its
// games in the scratch folder.
class WatchedGame : public ::testing::Test {
protected:
    void startBoardsim(std::vector<std::string> words) {
        words.insert(words.begin(), {"--link", scratch.path("board"), "--pace", "10"});
        words.insert(words.begin(), BOARDSIM_BINARY);
        boardsim = std::make_unique<ChildProcess>(words);
        ASSERT_TRUE(boardsim->waitForConsole("board on "));
    }
    // boardsim plays gameMoves from a file, one move a line.
    void startBoardsimPlayingTheGame() {
        std::string text;
        for (const std::string& move : gameMoves) text += move + "\n";
        startBoardsim({"--game", scratch.write("game.txt", text)});
    }
    void startRelay() {
        relay = std::make_unique<RelayProcess>(
            std::vector<std::string>{"--map", "COM3=" + scratch.path("board"), std::to_string(relayPort)});
    }
    // words: the relays and options, the relay of startRelay() when none;
    // before: the command that starts boardwatch, if any (env, sh -c).
    void startWatch(std::vector<std::string> words = {}, std::vector<std::string> before = {}) {
        if (words.empty()) words.push_back("127.0.0.1:" + std::to_string(relayPort) + "/COM3");
        std::vector<std::string> command = std::move(before);
        for (const std::string& word : {std::string(BOARDWATCH_BINARY), std::string("--http"),
                                        std::string("127.0.0.1:0"), std::string("--pdn"), scratch.path()}) {
            command.push_back(word);
        }
        command.insert(command.end(), words.begin(), words.end());
        launchWatch(command);
    }
    // boardwatch started by the whole command, its page on 127.0.0.1.
    void launchWatch(const std::vector<std::string>& command, std::chrono::milliseconds patience = 10s) {
        watch = std::make_unique<ChildProcess>(command);
        const std::string marker = "http://127.0.0.1:";
        ASSERT_TRUE(watch->waitForConsole(marker, patience)) << watch->console();
        const std::string console = watch->console();
        pagePort = std::stoi(console.substr(console.find(marker) + marker.size()));
    }
    nlohmann::json board() {
        const std::optional<std::string> state = httpGet(pagePort, "/state.json");
        return state ? nlohmann::json::parse(*state)["boards"][0] : nlohmann::json();
    }
    bool waitForMoves(std::size_t count, std::chrono::milliseconds timeout = 30s) {
        return waitUntil(
            [&] {
                const nlohmann::json now = board();
                return now.is_object() && now["moves"].size() == count;
            },
            timeout);
    }
    std::vector<std::string> pdnFiles() const {
        std::vector<std::string> files;
        for (const auto& entry : std::filesystem::directory_iterator(scratch.path())) {
            if (entry.path().extension() == ".pdn") files.push_back(entry.path().string());
        }
        return files;
    }

    ScratchFolder scratch;
    const int relayPort = freeTcpPort();
    int pagePort = 0;
    std::unique_ptr<ChildProcess> boardsim, watch;
    std::unique_ptr<RelayProcess> relay;
};

}  // namespace watchtest

#endif
