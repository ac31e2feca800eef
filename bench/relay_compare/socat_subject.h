#ifndef RELAY_COMPARE_SOCAT_SUBJECT_H
#define RELAY_COMPARE_SOCAT_SUBJECT_H

#include "relay_subject.h"

namespace relay_compare {

// socat copying bytes between the board's pty and one TCP connection: the
// floor of what any relay on this path can do. It opens the pty's device
// side as damrelay does, so both relays sit on the same path; the program
// receives the raw frame bytes and sends the request byte itself.
class SocatSubject : public RelaySubject {
public:
    explicit SocatSubject(std::string binary);

    std::string name() const override { return "socat"; }
    std::string commandLine() const override;
    std::string version() const override { return versionLine; }
    std::unique_ptr<RelayRun> start(const BoardPty& board) const override;
    void finish(RelayRun& run) const override;
    Bytes programSideOf(const Bytes& frame) const override { return frame; }
    Bytes sendBoardRequest() const override;

private:
    std::string binary;
    std::string versionLine;
};

}  // namespace relay_compare

#endif
