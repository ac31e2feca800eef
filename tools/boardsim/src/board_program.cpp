#include "board_program.h"

#include <boost/format.hpp>

#include "board_diagram.h"
#include "planned_lines.h"
#include "text_lines.h"
#include "textio/console_text.h"

namespace boardsim {

namespace {

const char* nameOf(ClockKey key) {
    switch (key) {
        case ClockKey::Ready:
            return "ready";
        case ClockKey::Mode:
            return "mode";
        case ClockKey::ModeWithStartStop:
            return "mode with start/stop";
    }
    return "";
}

}  // namespace

BoardProgram::BoardProgram(std::ostream& console, const BoardSettings& settings, Time now)
    : console(console),
      notes(console),
      board(settings.start, now, notes),
      plan(settings.start, settings.rules, settings.pace) {
    console << diagramOf(board.pieces())
            << "P white man, K white king, p black man, k black king; type moves such as 32-28, or help\n";
}

void BoardProgram::holdUntilUpdatesOn() {
    schedule.hold();
    console << "the game and the script wait for the host to switch updates on\n";
}

void BoardProgram::play(const std::vector<std::string>& moves, Time now) {
    if (moves.empty()) return;
    std::string lines;
    for (const std::string& move : moves) lines += move + '\n';
    // Checked already: a refusal here would leave the game out.
    std::string error;
    runScript(std::move(lines), now, error);
}

bool BoardProgram::runScript(std::string text, Time now, std::string& error) {
    BoardPlan before = plan;
    TextLines lines(text);
    while (const std::optional<std::string_view> line = lines.next()) {
        std::string why;
        if (line->size() > longestLine) {
            why = (boost::format("longer than %1% bytes") % longestLine).str();
        } else if (const std::optional<ConsoleCommand> command = parseConsoleLine(std::string(*line), why)) {
            if (plan.plan(*command, why)) continue;
        }
        error = (boost::format("line %1%: %2%") % lines.number() % why).str();
        plan = std::move(before);
        return false;
    }
    schedule.add(std::make_unique<PlannedLines>(std::move(text), std::move(before)), now);
    return true;
}

void BoardProgram::replay(Replay session) {
    recording.emplace(std::move(session));
    console << boost::format("a recording of %1% board lines waits for a host to open the port\n") %
                   recording->size();
}

void BoardProgram::send(const std::vector<Bytes>& frames, Time now, PacedLine::Kind kind) {
    for (const Bytes& frame : frames) line.send(frame, kind, now);
}

void BoardProgram::fromHost(const Bytes& bytes, Time now) {
    for (const Bytes& request : requests.feed(bytes)) {
        // In a replay the recording answers.
        if (!recording) send(board.answer(request, now), now, PacedLine::Kind::Answer);
    }
    if (schedule.isHeld() && board.updatesOn()) {
        schedule.release(now);
        console << "the host switched updates on: the game and the script start\n";
    }
}

void BoardProgram::hostOpened(Time now) {
    if (!recording) return;
    const bool starting = !recording->started();
    recording->hostOpened(now);
    if (starting && recording->started()) console << "the replay starts\n";
}

void BoardProgram::hostNotReading(std::size_t lost, Time now) {
    lostBytes += lost;
    noteLostBytes(now);
}

bool BoardProgram::fromConsole(const std::string& typed, Time now) {
    std::string error;
    const std::optional<ConsoleCommand> command = parseConsoleLine(typed, error);
    if (command && command->kind == ConsoleCommand::Kind::Quit) return false;
    if (command && command->kind == ConsoleCommand::Kind::Board) {
        console << diagramOf(board.pieces());
    } else if (command && command->kind == ConsoleCommand::Kind::Help) {
        console << consoleHelp;
    } else if (std::optional<std::vector<Action>> actions = command ? plan.plan(*command, error) : std::nullopt) {
        if (schedule.isHeld() && !actions->empty()) console << "this follows the game and the script\n";
        schedule.add(std::move(*actions), now);
    } else {
        // The reason may quote what was typed.
        console << "not done: " << textio::escapedForConsole(error) << '\n';
    }
    return true;
}

void BoardProgram::consoleLineTooLong() {
    console << boost::format("not done: a line longer than %1% bytes is no command; it is dropped up to its end\n") %
                   longestLine;
}

Bytes BoardProgram::noise(int count) {
    // The same bytes on every run; none has the top bit that starts a frame.
    Bytes bytes;
    for (int i = 0; i < count; ++i) {
        noiseState = noiseState * 1103515245u + 12345u;
        bytes.push_back(static_cast<unsigned char>((noiseState >> 16) & 0x7F));
    }
    return bytes;
}

void BoardProgram::carryOut(const ActionKind& action, Time now) {
    if (const auto* change = std::get_if<FieldChange>(&action)) {
        send(board.change(change->square, change->piece), now);
        if (change->noted && change->piece == Piece::None) console << boost::format("square %1% lifted\n") % change->square;
        if (change->noted && change->piece != Piece::None) {
            console << boost::format("%1% put on square %2%\n") % draughts::letterOf(change->piece) % change->square;
        }
    } else if (const auto* made = std::get_if<MoveMade>(&action)) {
        const Side mover = board.pieces().toMove();
        send(board.moveDone(made->move, now), now);
        console << boost::format("%1% played %2%\n%3%") % nameOf(mover) % made->notation % diagramOf(board.pieces());
    } else if (const auto* back = std::get_if<MoveTakenBack>(&action)) {
        board.moveTakenBack(back->toMove, now);
        console << "the last move is taken back\n" << diagramOf(board.pieces());
    } else if (const auto* setUp = std::get_if<PositionSetUp>(&action)) {
        board.positionSetUp(setUp->toMove, now);
        console << "the position is set up\n" << diagramOf(board.pieces());
    } else if (const auto* event = std::get_if<LinkEvent>(&action)) {
        line.signal(*event, now);
    } else if (const auto* burst = std::get_if<NoiseBurst>(&action)) {
        line.send(noise(burst->count), PacedLine::Kind::Noise, now);
        console << boost::format("noise: %1% bytes\n") % burst->count;
    } else if (std::holds_alternative<TearNextFrame>(action)) {
        line.tearNextFrame();
        console << "the next frame goes out torn\n";
    } else if (const auto* key = std::get_if<KeyPress>(&action)) {
        send(board.keyPressed(key->key), now);
        console << boost::format("clock key pressed: %1%\n") % nameOf(key->key);
    } else if (std::holds_alternative<ShowBoard>(action)) {
        console << diagramOf(board.pieces());
    }
}

PacedLine::Due BoardProgram::takeDue(Time now) {
    notes.takeDue(now);
    // What the board does next waits while the line is busy: a person's
    // hands or a recording cannot fill it without end.
    for (int taken = 0; taken < mostActionsAtOnce; ++taken) {
        if (lineBusy()) {
            schedule.postpone(now);
            break;
        }
        const std::optional<ActionKind> action = schedule.takeDue(now);
        if (!action) break;
        carryOut(*action, now);
    }
    if (recording) {
        const bool wasOver = recording->finished();
        for (int taken = 0; taken < mostActionsAtOnce && !lineBusy(); ++taken) {
            const std::optional<Replay::Due> step = recording->takeDue(now);
            if (!step) break;
            if (step->event) {
                line.signal(*step->event, now);
            } else {
                line.send(step->bytes, PacedLine::Kind::Report, now);
            }
        }
        if (!wasOver && recording->finished()) console << "the replay is over\n";
    }
    noteDroppedAnswers(now);
    noteLostBytes(now);
    PacedLine::Due due = line.takeDue(now);
    if (due.then) noteEvent(*due.then);
    return due;
}

void BoardProgram::noteEvent(LinkEvent event) {
    switch (event) {
        case LinkEvent::Pull:
            console << "the cable is pulled out\n";
            break;
        case LinkEvent::Plug:
            console << "the cable is plugged in again\n";
            break;
        case LinkEvent::End:
            console << "the script ends the board\n";
            break;
    }
}

void BoardProgram::noteDroppedAnswers(Time now) {
    const std::uint64_t dropped = line.droppedAnswers();
    if (dropped == notedDrops || now < nextDropNote) return;
    console << boost::format("the host asks faster than the line answers: %1% answers dropped so far\n") % dropped;
    notedDrops = dropped;
    nextDropNote = now + noteInterval;
}

void BoardProgram::noteLostBytes(Time now) {
    if (lostBytes == 0 || now < nextLossNote) return;
    console << boost::format("host is not reading: %1% bytes lost\n") % lostBytes;
    lostBytes = 0;
    nextLossNote = now + noteInterval;
}

std::optional<Time> BoardProgram::nextDue() const {
    std::optional<Time> due;
    const auto consider = [&due](std::optional<Time> time) {
        if (time && (!due || *time < *due)) due = time;
    };
    // A busy line wakes the board at its every byte anyway.
    if (!lineBusy()) {
        consider(schedule.nextDue());
        if (recording) consider(recording->nextDue());
    }
    consider(line.nextDue());
    consider(notes.nextDue());
    if (line.droppedAnswers() != notedDrops) consider(nextDropNote);
    if (lostBytes > 0) consider(nextLossNote);
    return due;
}

}  // namespace boardsim
