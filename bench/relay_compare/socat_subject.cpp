#include "socat_subject.h"

#include <boost/format.hpp>
#include <cstdio>
#include <stdexcept>

#include "field_updates.h"

namespace relay_compare {

namespace {

std::string devicePart(const std::string& device) { return device + ",raw,echo=0"; }

std::string listenerPart(const std::string& port) {
    return str(boost::format("tcp-listen:%1%,bind=127.0.0.1,nodelay,reuseaddr") % port);
}

// The "socat version ..." line of socat -V; empty when socat cannot be run.
std::string askVersion(const std::string& binary) {
    std::string version;
    FILE* output = ::popen((binary + " -V 2>/dev/null").c_str(), "r");
    if (output == nullptr) return version;
    char line[512];
    while (std::fgets(line, sizeof line, output) != nullptr) {
        std::string text(line);
        const std::size_t at = text.find("socat version ");
        if (at == std::string::npos) continue;
        version = text.substr(at + std::string("socat version ").size());
        while (!version.empty() && (version.back() == '\n' || version.back() == '\r')) version.pop_back();
    }
    ::pclose(output);
    return version;
}

}  // namespace

SocatSubject::SocatSubject(std::string binary) : binary(std::move(binary)), versionLine(askVersion(this->binary)) {}

std::string SocatSubject::commandLine() const {
    return binary + " " + devicePart("<pty>") + " " + listenerPart("<port>");
}

std::unique_ptr<RelayRun> SocatSubject::start(const BoardPty& board) const {
    const int port = freeLoopbackPort();
    auto process = std::make_unique<ChildProcess>(
        std::vector<std::string>{binary, devicePart(board.devicePath()), listenerPart(std::to_string(port))});
    const auto deadline = Clock::now() + startTimeout;
    ChildProcess* relay = process.get();
    TcpClient program = TcpClient::connectTo(port, deadline, [relay] { return relay->running(); });
    if (!board.waitForHost(deadline)) throw std::runtime_error("socat did not open the board's pty");
    return std::make_unique<RelayRun>(std::move(process), std::move(program));
}

void SocatSubject::finish(RelayRun& run) const {
    // socat ends on its own once the program's side is closed.
    run.program.close();
    run.process->stop(startTimeout);
}

Bytes SocatSubject::sendBoardRequest() const { return {sendBoardByte}; }

}  // namespace relay_compare
