#include "tcp_board.h"

#include <array>
#include <boost/asio.hpp>
#include <boost/format.hpp>
#include <csignal>
#include <optional>
#include <system_error>

#include "console_lines.h"
#include "console_reader.h"
#include "host_line.h"

namespace boardsim {

namespace {

namespace asio = boost::asio;
using asio::ip::tcp;
using boost::system::error_code;
using Clock = std::chrono::steady_clock;

std::string nameOf(const tcp::endpoint& endpoint) {
    const std::string address = endpoint.address().to_string();
    return (boost::format(endpoint.address().is_v6() ? "[%1%]:%2%" : "%1%:%2%") % address % endpoint.port()).str();
}

// The board on a TCP port: the host it has, the hosts it refuses, its
// console and its signals, all on one thread around the board program.
class TcpBoard : public HostLine {
public:
    TcpBoard(asio::io_context& io, const tcp::endpoint& where, BoardProgram& program, std::ostream& console)
        : io(io),
          acceptor(io),
          retry(io),
          wake(io),
          signals(io),
          program(program),
          console(console),
          reader([this](std::string piece) {
              asio::post(this->io, [this, piece = std::move(piece)] { onTyped(piece); });
          }) {
        acceptor.open(where.protocol());
#ifdef _WIN32
        // The port is this board's alone: on Windows a program that asks
        // for SO_REUSEADDR could take it over otherwise.
        acceptor.set_option(asio::detail::socket_option::boolean<SOL_SOCKET, SO_EXCLUSIVEADDRUSE>(true));
#else
        // A board started again at once takes its port back from the
        // connections of the last run that linger.
        acceptor.set_option(tcp::acceptor::reuse_address(true));
#endif
        acceptor.bind(where);
        acceptor.listen();
        for (int signal : {SIGINT, SIGTERM}) signals.add(signal);
#ifdef _WIN32
        signals.add(SIGBREAK);
#else
        signals.add(SIGHUP);
#endif
    }

    std::string address() const { return "tcp:" + nameOf(acceptor.local_endpoint()); }

    void start() {
        signals.async_wait([this](const error_code& failure, int signal) { onSignal(failure, signal); });
        acceptNext();
        turn();
    }

    bool hostAttached() const override { return host.has_value(); }

    std::size_t write(const Bytes& bytes) override {
        std::size_t sent = 0;
        error_code failure;
        // Non-blocking: what the connection does not take at once is lost.
        while (sent < bytes.size() && !failure) {
            sent += host->write_some(asio::buffer(bytes.data() + sent, bytes.size() - sent), failure);
        }
        return bytes.size() - sent;
    }

    void pull() override {
        cableIn = false;
        if (host) drop("dropped: the cable is pulled");
    }

    void plug(std::ostream& out) override {
        cableIn = true;
        out << "board on " << address() << '\n';
    }

private:
    void acceptNext() {
        acceptor.async_accept([this](const error_code& failure, tcp::socket peer) { onAccepted(failure, std::move(peer)); });
    }

    void onAccepted(const error_code& failure, tcp::socket peer) {
        if (failure == asio::error::operation_aborted) return;
        if (failure) {
            // Out of descriptors, say: try again in a moment, not at once.
            console << "cannot take a host: " << failure.message() << '\n';
            retry.expires_after(std::chrono::seconds(1));
            retry.async_wait([this](const error_code& ended) {
                if (!ended) acceptNext();
            });
            turn();
            return;
        }
        acceptNext();
        error_code ignored;
        const tcp::endpoint peerAddress = peer.remote_endpoint(ignored);
        if (!cableIn || host) {
            refuse(peer, nameOf(peerAddress), cableIn ? "the board has a host" : "the cable is pulled");
            return;
        }
        peer.set_option(tcp::no_delay(true), ignored);
        peer.non_blocking(true, ignored);
        host.emplace(std::move(peer));
        hostName = nameOf(peerAddress);
        ++hostNumber;
        console << boost::format("host %1% connected\n") % hostName;
        program.hostOpened(Clock::now());
        readHost();
        turn();
    }

    // At most one refusal a second is noted: hosts that keep trying do
    // not flood the console.
    void refuse(tcp::socket& peer, const std::string& name, const char* why) {
        error_code ignored;
        peer.close(ignored);
        const Time now = Clock::now();
        if (now < nextRefusalNote) {
            ++refusedUnnoted;
            return;
        }
        console << boost::format("host %1% refused: %2%") % name % why;
        if (refusedUnnoted > 0) console << boost::format(" (and %1% more since the last note)") % refusedUnnoted;
        console << '\n';
        refusedUnnoted = 0;
        nextRefusalNote = now + std::chrono::seconds(1);
        console.flush();
    }

    void readHost() {
        host->async_read_some(asio::buffer(received),
                              [this, number = hostNumber](const error_code& failure, std::size_t count) {
                                  onHostRead(number, failure, count);
                              });
    }

    void onHostRead(unsigned number, const error_code& failure, std::size_t count) {
        // A host dropped already, whose read ends late.
        if (number != hostNumber || !host) return;
        if (failure) {
            drop(failure == asio::error::eof ? "closed the connection" : "lost: " + failure.message());
        } else {
            program.fromHost(Bytes(received.begin(), received.begin() + count), Clock::now());
            readHost();
        }
        turn();
    }

    void drop(const std::string& how) {
        error_code ignored;
        host->close(ignored);
        host.reset();
        ++hostNumber;
        console << boost::format("host %1% %2%\n") % hostName % how;
    }

    void onTyped(const std::string& piece) {
        if (piece.empty()) {
            console << "console input ended; the board goes on\n";
        } else if (!typing.feed(piece, program, Clock::now())) {
            io.stop();
            return;
        } else {
            consoleWanted = true;
        }
        turn();
    }

    void onSignal(const error_code& failure, int signal) {
        if (failure) return;
        console << boost::format("ended by signal %1%\n") % signal;
        io.stop();
    }

    // What is due now, then a wake-up for what is due next.
    void turn() {
        if (!carryOutDue(*this, program, Clock::now(), console)) {
            io.stop();
            return;
        }
        console.flush();
        if (consoleWanted && program.wantsConsole()) {
            consoleWanted = false;
            reader.more();
        }
        const std::optional<Time> due = program.nextDue();
        if (!due) {
            wake.cancel();
            return;
        }
        wake.expires_at(*due);
        wake.async_wait([this](const error_code& failure) {
            if (!failure) turn();
        });
    }

    asio::io_context& io;
    tcp::acceptor acceptor;
    asio::steady_timer retry;
    asio::steady_timer wake;
    asio::signal_set signals;
    BoardProgram& program;
    std::ostream& console;
    std::optional<tcp::socket> host;
    std::string hostName;
    unsigned hostNumber = 0;  // tells a dropped host's late read from the next host's
    std::array<unsigned char, 256> received{};
    bool cableIn = true;
    Time nextRefusalNote{};
    unsigned long refusedUnnoted = 0;
    ConsoleLines typing;
    bool consoleWanted = false;  // the reader waits for more() once the board takes more
    ConsoleReader reader;
};

}  // namespace

void serveOverTcp(const TcpAddress& address, BoardProgram& program, std::ostream& console) {
    asio::io_context io;
    const std::string named = address.host + ":" + address.port;
    error_code failure;
    tcp::resolver resolver(io);
    const tcp::resolver::results_type found = resolver.resolve(address.host, address.port, tcp::resolver::passive, failure);
    if (failure || found.empty()) {
        throw std::system_error(failure ? failure : asio::error::host_not_found, "cannot serve the board on " + named);
    }
    std::optional<TcpBoard> board;
    try {
        board.emplace(io, found.begin()->endpoint(), program, console);
    } catch (const boost::system::system_error& refused) {
        throw std::system_error(refused.code(), "cannot serve the board on " + named);
    }
    console << "board on " << board->address() << '\n';
    board->start();
    io.run();
}

}  // namespace boardsim
