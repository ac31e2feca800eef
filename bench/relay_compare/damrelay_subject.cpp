#include "damrelay_subject.h"

#include <boost/format.hpp>
#include <stdexcept>

#include "field_updates.h"

namespace relay_compare {

std::string DamrelaySubject::commandLine() const { return binary + " --map COM9=<pty> <port>"; }

std::unique_ptr<RelayRun> DamrelaySubject::start(const BoardPty& board) const {
    const int port = freeLoopbackPort();
    auto process = std::make_unique<ChildProcess>(
        std::vector<std::string>{binary, "--map", "COM9=" + board.devicePath(), std::to_string(port)});
    const auto deadline = Clock::now() + startTimeout;
    ChildProcess* relay = process.get();
    TcpClient program = TcpClient::connectTo(port, deadline, [relay] { return relay->running(); });

    const std::optional<std::string> firstLine = program.readLine(deadline);
    if (!firstLine || firstLine->empty() || (*firstLine)[0] != '#') {
        throw std::runtime_error("damrelay sent no greeting");
    }
    greeting = firstLine->substr(1);
    program.sendAll(std::string("COM9\n"));
    const std::optional<std::string> reply = program.readLine(deadline);
    if (reply != std::string("CONN")) {
        throw std::runtime_error(
            str(boost::format("damrelay answered COM9 with '%1%', not CONN") % reply.value_or("nothing")));
    }
    if (!board.waitForHost(deadline)) throw std::runtime_error("damrelay did not open the board's pty");
    return std::make_unique<RelayRun>(std::move(process), std::move(program));
}

void DamrelaySubject::finish(RelayRun& run) const {
    run.program.sendAll(std::string("EXIT\n"));
    run.process->stop(startTimeout);
    run.program.close();
}

Bytes DamrelaySubject::programSideOf(const Bytes& frame) const {
    const std::string line = fieldUpdateText(frame) + '\n';
    return Bytes(line.begin(), line.end());
}

Bytes DamrelaySubject::sendBoardRequest() const { return {'6', '6', '\n'}; }

}  // namespace relay_compare
