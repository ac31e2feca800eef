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
#include "request_notes.h"
#include "simulated_board.h"

namespace boardsim {

struct BoardSettings {
    Position start = Position::start();
    draughts::Rules rules = draughts::Rules::International;
    std::chrono::milliseconds pace{400};
};

class BoardProgram {
public:
    // Longer lines are no command: a console or script line is read up to
    // this many bytes.
    static constexpr std::size_t longestLine = 4096;
    // Actions carried out in one go at most, so that the loop around the
    // board looks at its host, its console and its signals in between.
    static constexpr int mostActionsAtOnce = 256;
    // While this many actions (or scripts) wait, the board takes no more
    // from its console: a console fed faster than a person types waits.
    static constexpr std::size_t mostWaiting = 10000;

    BoardProgram(std::ostream& console, const BoardSettings& settings, Time now);

    // What is given from now on waits until the host switches updates on,
    // so that the host sees all of it (a game, a script).
    void holdUntilUpdatesOn();
    // Moves already checked from the position where the board stands once
    // what was given before is done: a game's.
    void play(const std::vector<std::string>& moves, Time now);
    // A script: its lines, each taken in its turn as a typed one is, but
    // quit and board too. Every line is checked now; false, with error
    // naming the first refused line, when one is, and nothing is taken.
    bool runScript(std::string text, Time now, std::string& error);
    // The board plays the recording's side of the line once a host opens its
    // port, and answers no request itself.
    void replay(Replay session);

    void fromHost(const Bytes& bytes, Time now);
    void hostOpened(Time now);
    // No host has the line open: what the board sends now is lost.
    void hostAbsent() { line.clear(); }
    // The host did not take this many bytes of those the board wrote.
    void hostNotReading(std::size_t lost, Time now);
    // False when the person asks to quit.
    bool fromConsole(const std::string& line, Time now);
    // A console line longer than longestLine: dropped, and said so.
    void consoleLineTooLong();
    // Whether the board takes more from its console now.
    bool wantsConsole() const { return schedule.waiting() < mostWaiting; }

    // Carries out the actions whose time has come and gives the bytes to
    // write, up to an event of the link; ask again after carrying that out.
    PacedLine::Due takeDue(Time now);
    std::optional<Time> nextDue() const;

private:
    bool lineBusy() const { return line.waitingBytes() > PacedLine::waitingLimit; }
    void carryOut(const ActionKind& action, Time now);
    void send(const std::vector<Bytes>& frames, Time now, PacedLine::Kind kind = PacedLine::Kind::Report);
    Bytes noise(int count);
    // At most once a notice interval, so that a flooding host cannot flood
    // the console too.
    void noteDroppedAnswers(Time now);
    void noteLostBytes(Time now);
    void noteEvent(LinkEvent event);

    std::ostream& console;
    RequestNotes notes;
    SimulatedBoard board;
    // Checks each command when it is given, against the board as the
    // commands before it leave it.
    BoardPlan plan;
    ActionSchedule schedule;
    PacedLine line;
    RequestReader requests;
    std::optional<Replay> recording;
    std::uint32_t noiseState = 1;
    std::uint64_t notedDrops = 0;
    Time nextDropNote{};
    std::uint64_t lostBytes = 0;  // not yet noted
    Time nextLossNote{};
    static constexpr std::chrono::seconds noteInterval{1};
};

}  // namespace boardsim

#endif
