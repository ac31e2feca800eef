#include "relays.h"

#include <boost/format.hpp>
#include <stdexcept>

namespace relay_compare {

namespace {

// The "socat version ..." line of socat -V; empty when socat cannot be run.
std::string socatVersion(const std::string& binary) {
    const std::string marker = "socat version ";
    try {
        ChildProcess socat({binary, "-V"});
        socat.waitForExit(startTimeout);
        const std::string output = socat.consoleAtEnd();
        const std::size_t at = output.find(marker);
        if (at == std::string::npos) return {};
        return output.substr(at + marker.size(), output.find_first_of("\r\n", at) - at - marker.size());
    } catch (const std::exception&) {
        return {};
    }
}

void expect(bool holds, const std::string& failure) {
    if (!holds) throw std::runtime_error(failure);
}

}  // namespace

Bytes fieldUpdateFrame(long index) {
    const auto square = static_cast<unsigned char>(1 + index % 50);
    const auto piece = static_cast<unsigned char>(index / 50 % 16);
    return {0x8E, 0x00, 0x05, square, piece};
}

Relay::Relay(Kind kind, std::string binary)
    : kind(kind), binary(std::move(binary)), versionText(kind == Kind::Socat ? socatVersion(this->binary) : "") {}

std::vector<std::string> Relay::command(const std::string& device, const std::string& port) const {
    if (kind == Kind::Damrelay) return {binary, "--map", "COM9=" + device, port};
    return {binary, device + ",raw,echo=0", "tcp-listen:" + port + ",bind=127.0.0.1,nodelay,reuseaddr"};
}

std::string Relay::commandLine() const {
    std::string line;
    for (const std::string& word : command("<pty>", "<port>")) line += (line.empty() ? "" : " ") + word;
    return line;
}

std::unique_ptr<RelayRun> Relay::start(const VirtualBoard& board) const {
    const int port = testing_support::freeTcpPort();
    auto run = std::make_unique<RelayRun>();
    run->process = std::make_unique<ChildProcess>(command(board.devicePath(), std::to_string(port)),
                                                  ChildProcess::Output::Discarded);
    run->program = std::make_unique<ProgramClient>(port, startTimeout);
    expect(run->program->connected(), str(boost::format("nothing accepted a connection on port %1%") % port));
    if (kind == Kind::Damrelay) {
        const std::optional<std::string> greeting = run->program->readLine(startTimeout);
        expect(greeting && greeting->rfind('#', 0) == 0, "damrelay sent no greeting");
        versionText = greeting->substr(1);
        run->program->sendLine("COM9");
        const std::optional<std::string> reply = run->program->readLine(startTimeout);
        expect(reply == std::string("CONN"),
               str(boost::format("damrelay answered COM9 with '%1%', not CONN") % reply.value_or("nothing")));
    }
    expect(board.waitForHost(startTimeout), name() + " did not open the board's pty");
    return run;
}

void Relay::finish(RelayRun& run) const {
    // socat ends by itself once the program's side is closed.
    if (kind == Kind::Damrelay) run.program->sendLine("EXIT");
    if (kind == Kind::Socat) run.program->close();
    run.process->stop(startTimeout);
    run.program->close();
}

std::string Relay::programSideOf(const Bytes& frame) const {
    if (kind == Kind::Socat) return std::string(frame.begin(), frame.end());
    // The relay's line for a field update: the square in three digits, then
    // the piece's letter ("023P").
    static const char pieceLetters[] = ".PRNBKQprnbkqxyz";
    return str(boost::format("%1$03d%2%\n") % static_cast<int>(frame.at(3)) % pieceLetters[frame.at(4) & 0x0F]);
}

}  // namespace relay_compare
