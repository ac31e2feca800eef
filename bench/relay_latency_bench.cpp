// Latency through the running relay, both ways: a board frame written on a
// virtual board until its line reaches a TCP client, and a request line sent
// by the client until its byte reaches the board.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <virtualboard/virtual_board.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

int connectTo(int port) {
    for (int attempt = 0; attempt < 200; ++attempt) {
        const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
            int one = 1;
            ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
            return fd;
        }
        ::close(fd);
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    std::fprintf(stderr, "could not connect to the relay\n");
    std::exit(1);
}

// A port nobody listens on: the one the system picks for a bind to port 0.
int freePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

std::string readLine(int fd) {
    std::string line;
    char c;
    while (::recv(fd, &c, 1, 0) == 1 && c != '\n') line += c;
    return line;
}

void sendText(int fd, const std::string& text) { ::send(fd, text.data(), text.size(), MSG_NOSIGNAL); }

void report(const char* name, std::vector<double> micros) {
    std::sort(micros.begin(), micros.end());
    std::printf("%-34s median %7.1f us   p99 %7.1f us   max %7.1f us   (%zu samples)\n", name,
                micros[micros.size() / 2], micros[micros.size() * 99 / 100], micros.back(), micros.size());
}

}  // namespace

int main() {
    virtualboard::VirtualBoard board;
    const int port = freePort();
    const std::string map = "COM9=" + board.devicePath();

    const pid_t relay = ::fork();
    if (relay == 0) {
        std::freopen("/dev/null", "w", stdout);
        const std::string portText = std::to_string(port);
        ::execl(DAMRELAY_BINARY, DAMRELAY_BINARY, "--map", map.c_str(), portText.c_str(), static_cast<char*>(nullptr));
        std::_Exit(127);
    }

    const int client = connectTo(port);
    readLine(client);  // greeting
    sendText(client, "COM9\n");
    if (readLine(client) != "CONN") {
        std::fprintf(stderr, "the relay did not connect the board\n");
        return 1;
    }

    const int samples = 500;
    std::vector<double> boardToProgram, programToBoard;
    for (int i = 0; i < samples; ++i) {
        const auto start = Clock::now();
        board.writeFrame(0x8E, {static_cast<unsigned char>(i % 50), 1});
        readLine(client);
        boardToProgram.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    for (int i = 0; i < samples; ++i) {
        const auto start = Clock::now();
        sendText(client, "66\n");
        board.read(1, std::chrono::seconds(2));
        programToBoard.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    report("board frame -> program line", boardToProgram);
    report("program request -> board byte", programToBoard);

    sendText(client, "EXIT\n");
    ::close(client);
    int status = 0;
    ::waitpid(relay, &status, 0);
    return 0;
}
