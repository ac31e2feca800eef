#ifndef DAMRELAY_LOW_LEVEL_DRIVER_DEMO_H
#define DAMRELAY_LOW_LEVEL_DRIVER_DEMO_H

#include <boardio/boardio.h>

#include <memory>
#include <string>

#include "board_driver.h"
#include "line_sink.h"
#include "port_names.h"
#include "program_slot.h"
#include "session_recorder.h"

// The relay's board side: holds the board connection the draughts program
// asks for, turns the program's requests into board commands, and sends every
// board message back to the program as one line.
//
// Everything but update runs on the session's thread; update runs on the
// board's thread.
class LowLevelDriverDemo : public krvEBLowLevel::SingleBoardObserver {
public:
    explicit LowLevelDriverDemo(PortNames portNames = PortNames(), BoardDriverFactory makeDriver = krvEBLowFactory());
    // Closes a board connection that is still open: the port is released and
    // no message reaches an observer that no longer exists.
    ~LowLevelDriverDemo() override;
    LowLevelDriverDemo(const LowLevelDriverDemo&) = delete;
    LowLevelDriverDemo& operator=(const LowLevelDriverDemo&) = delete;

    void update(std::shared_ptr<krvEBLowLevel::Message> message) override;

    // The draughts program that replies and board lines go to; null while
    // none is connected, and then they are dropped. When it returns, no
    // line is on its way to the program it replaces.
    void setProgram(std::shared_ptr<LineSink> program);
    bool hasProgram() const;
    // Sends a line to the program, if one is connected.
    bool sendLine(const std::string& text);

    // A connect request for portText: a COM<n> name or a name given with
    // --map. With a connection open on the same device the program is told
    // "CONN" again and the connection stays, unless its link has failed: then
    // it is opened afresh, as is a connection to another device once the one
    // open is closed. A text that names no port gets "ERROR" and leaves an
    // open connection as it is.
    void connectBoard(const std::string& portText);
    // Connects the board on a device named directly (a device path given
    // at start-up), as connectBoard does once it has the device.
    void connectDevice(const std::string& portText, const std::string& device);
    // A disconnect request: closes an open connection; with none open, the
    // program is told "DISCONN" all the same.
    void disconnectBoard();
    // Closes an open connection without telling the program.
    void closeBoard();

    // Opens a connection on port when none is open, closes the open one
    // otherwise, and tells the program.
    void toggleConnection();
    void translateCommand(const std::string& line);

    bool isConnected() const { return connected; }

    // Records the session from now on: every board connection's link, the
    // program's lines and those sent to it (not owned; it must outlive every
    // board connection). Set before the first connection.
    void setRecorder(SessionRecorder* sessionRecorder) { recorder = sessionRecorder; }
    void recordProgramLine(const std::string& line);

private:
    void openConnection();
    void send(krvEBLowLevel::Command& command);

    PortNames portNames;
    BoardDriverFactory makeDriver;
    std::unique_ptr<BoardDriver> driver;
    bool connected = false;
    std::string port;        // the port text of the next connection
    std::string device;      // the device of the next connection
    std::string openDevice;  // the device of the open connection
    SessionRecorder* recorder = nullptr;

    // Where replies and board lines go, from both threads.
    ProgramSlot program;
};

#endif
