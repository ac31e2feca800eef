#ifndef BOARDWATCH_TESTS_FAKE_RELAY_H
#define BOARDWATCH_TESTS_FAKE_RELAY_H

// A relay as a test wants it, on a local port of its own: each connection
// is served on a thread of its own by the test's function, and closed when
// that returns or the relay goes.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <list>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace watchtest {

class FakeRelay {
public:
    class Connection {
    public:
        Connection(int fd, const std::atomic<bool>& stopping) : fd(fd), stopping(stopping) {}
        void send(const std::string& line) {
            const std::string bytes = line + "\n";
            if (::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) < 0) return;
        }
        // The next line without its line feed; empty when none came in time
        // or the connection ended.
        std::optional<std::string> readLine(std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
            const auto deadline = std::chrono::steady_clock::now() + timeout;
            for (;;) {
                const std::size_t end = pending.find('\n');
                if (end != std::string::npos) {
                    std::string line = pending.substr(0, end);
                    pending.erase(0, end + 1);
                    return line;
                }
                if (stopping || std::chrono::steady_clock::now() > deadline) return std::nullopt;
                pollfd wanted{fd, POLLIN, 0};
                if (::poll(&wanted, 1, 50) <= 0) continue;
                char buffer[4096];
                const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
                if (got <= 0) return std::nullopt;
                pending.append(buffer, static_cast<std::size_t>(got));
            }
        }
        // Greets as a relay does and opens the port asked for: its name.
        std::string greetAndOpen() {
            send("#KRV Draughts Server v2.1 Console 2011-06-28");
            readLine();  // the program's name
            const std::string port = readLine().value_or("");
            send("CONN");
            return port;
        }
        // Until boardwatch closes the connection or the relay goes.
        void stayOpen() {
            while (readLine(std::chrono::hours(1))) {
            }
        }

    private:
        int fd;
        const std::atomic<bool>& stopping;
        std::string pending;
    };
    using Serve = std::function<void(Connection&)>;

    explicit FakeRelay(Serve serve) : serve(std::move(serve)) {
        listening = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        ::bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listening, 64);
        ::getsockname(listening, reinterpret_cast<sockaddr*>(&address), &size);
        portNumber = ntohs(address.sin_port);
        acceptor = std::thread([this] { acceptAll(); });
    }
    ~FakeRelay() {
        stopping = true;
        acceptor.join();
        for (std::thread& served : threads) served.join();
        ::close(listening);
    }
    FakeRelay(const FakeRelay&) = delete;
    FakeRelay& operator=(const FakeRelay&) = delete;

    int port() const { return portNumber; }
    std::size_t connections() const { return accepted; }

private:
    void acceptAll() {
        while (!stopping) {
            pollfd wanted{listening, POLLIN, 0};
            if (::poll(&wanted, 1, 50) <= 0) continue;
            const int fd = ::accept4(listening, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd < 0) continue;
            ++accepted;
            threads.emplace_back([this, fd] {
                Connection connection(fd, stopping);
                serve(connection);
                ::close(fd);
            });
        }
    }

    Serve serve;
    int listening = -1;
    int portNumber = 0;
    std::atomic<bool> stopping{false};
    std::atomic<std::size_t> accepted{0};
    std::thread acceptor;
    std::list<std::thread> threads;
};

}  // namespace watchtest

#endif
