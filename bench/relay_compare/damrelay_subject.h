#ifndef RELAY_COMPARE_DAMRELAY_SUBJECT_H
#define RELAY_COMPARE_DAMRELAY_SUBJECT_H

#include "relay_subject.h"

namespace relay_compare {

// damrelay in program-controlled mode: the program reads the greeting, asks
// for the board with "COM9" (mapped to the board's pty) and waits for "CONN";
// board frames come back as text lines.
class DamrelaySubject : public RelaySubject {
public:
    explicit DamrelaySubject(std::string binary) : binary(std::move(binary)) {}

    std::string name() const override { return "damrelay"; }
    std::string commandLine() const override;
    std::string version() const override { return greeting; }
    std::unique_ptr<RelayRun> start(const BoardPty& board) const override;
    void finish(RelayRun& run) const override;
    Bytes programSideOf(const Bytes& frame) const override;
    Bytes sendBoardRequest() const override;

private:
    std::string binary;
    mutable std::string greeting;
};

}  // namespace relay_compare

#endif
