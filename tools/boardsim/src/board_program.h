#ifndef BOARDSIM_BOARD_PROGRAM_H
#define BOARDSIM_BOARD_PROGRAM_H

// The virtual board without its ports: requests from the host, lines typed
// by the person at the console or read from a script, and the passing of
// time go in; the bytes for the line, what happens to the link and the
// console text come out.

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "action_schedule.h"
#include "board_plan.h"
#include "paced_line.h"
#include "replay.h"
#include "simulated_board.h"

namespace boardsim {

struct BoardSettings {
    Position start = Position::start();
    draughts::Rules rules = draughts::Rules::International;
    std::chrono::milliseconds pace{400};
};

class BoardProgram {
public:
    BoardProgram(std::ostream& console, const BoardSettings& settings, Time now);

    // What is given from now on waits until the host switches updates on,
    // so that the host sees all of it (a game, a script).
    void holdUntilUpdatesOn();
    void play(const std::vector<Move>& moves, Time now);
    // A line of a script, taken in its turn as a typed one is, but quit and
    // board too; false, with error, when it is refused.
    bool fromScript(const std::string& line, Time now, std::string& error);
    // The board sends the recording's frames once a host opens its port, and
    // answers no request itself.
    void replay(std::vector<RecordedFrame> frames);

    void fromHost(const Bytes& bytes, Time now);
    void hostOpened(Time now);
    // No host has the line open: what the board sends now is lost.
    void hostAbsent() { line.clear(); }
    // False when the person asks to quit.
    bool fromConsole(const std::string& line, Time now);

    // Carries out the actions whose time has come and gives the bytes to
    // write, up to an event of the link; ask again after carrying that out.
    PacedLine::Due takeDue(Time now);
    std::optional<Time> nextDue() const;

private:
    void carryOut(const ActionKind& action, Time now);
    void send(const std::vector<Bytes>& frames, Time now, PacedLine::Kind kind = PacedLine::Kind::Report);
    Bytes noise(int count);
    // At most once a notice interval, so that a flooding host cannot flood
    // the console too.
    void noteDroppedAnswers(Time now);
    void noteEvent(LinkEvent event);

    std::ostream& console;
    SimulatedBoard board;
    BoardPlan plan;
    ActionSchedule schedule;
    PacedLine line;
    RequestReader requests;
    std::optional<Replay> recording;
    std::uint32_t noiseState = 1;
    std::uint64_t notedDrops = 0;
    Time nextDropNote{};
    static constexpr std::chrono::seconds dropNoteInterval{1};
};

}  // namespace boardsim

#endif
