#include "low_level_driver_demo.h"

#include <boost/format.hpp>
#include <boost/system/system_error.hpp>
#include <exception>
#include <utility>

#include "console.h"
#include "log_text.h"
#include "port_open_advice.h"
#include "request_translation.h"

using namespace krvEBLowLevel;

LowLevelDriverDemo::LowLevelDriverDemo(PortNames portNames, BoardDriverFactory makeDriver)
    : portNames(std::move(portNames)), makeDriver(std::move(makeDriver)) {}

LowLevelDriverDemo::~LowLevelDriverDemo() { closeBoard(); }

void LowLevelDriverDemo::update(std::shared_ptr<Message> message) {
    if (!message) return;
    std::string text;
    message->getText(text);
    // Dropped when no program is connected: nothing keeps it for later.
    sendLine(text);
}

void LowLevelDriverDemo::setProgram(std::shared_ptr<LineSink> newProgram) { program.set(std::move(newProgram)); }

bool LowLevelDriverDemo::hasProgram() const { return program.present(); }

bool LowLevelDriverDemo::sendLine(const std::string& text) {
    if (!program.send(text)) return false;
    if (recorder) recorder->toProgram(text);
    return true;
}

void LowLevelDriverDemo::connectBoard(const std::string& portText) {
    const std::optional<std::string> named = portNames.resolve(portText);
    if (!named) {
        // Only names the relay knows lead to a device: a program must not be
        // able to open whatever path it likes.
        writeConsole(str(boost::format("*** error: '%1%' is not a serial port name: ask for COM<n>, or a name "
                                       "given with --map\n") %
                         programTextForLog(portText)));
        sendLine("ERROR");
        return;
    }
    connectDevice(portText, *named);
}

void LowLevelDriverDemo::connectDevice(const std::string& portText, const std::string& portDevice) {
    port = portText;
    device = portDevice;
    if (connected) {
        // A program that connects to a relay that already has the board (as
        // at start-up in auto-connect mode) must not lose it by asking again;
        // but a port closed by a failed link (the board pulled out) is opened
        // afresh, and the answer says whether it opened.
        if (device == openDevice && driver->getState() != COMM_FAILED) {
            sendLine("CONN");
            return;
        }
        closeBoard();
    }
    toggleConnection();
}

void LowLevelDriverDemo::disconnectBoard() {
    port.clear();
    device.clear();
    if (connected) {
        toggleConnection();
    } else {
        sendLine("DISCONN");
    }
}

void LowLevelDriverDemo::closeBoard() {
    connected = false;
    openDevice.clear();
    if (!driver) return;
    // Closed before detaching: once close returns no message is on its way
    // to this observer.
    driver->close();
    driver->detach(this);
    if (recorder) driver->detach(recorder);
    driver.reset();
}

void LowLevelDriverDemo::toggleConnection() {
    if (!connected) {
        openConnection();
        return;
    }
    closeBoard();
    sendLine("DISCONN");
}

void LowLevelDriverDemo::openConnection() {
    connected = true;
    writeConsole(str(boost::format("--connect to board, serial port: '%1%'\n") % programTextForLog(port)));
    const bool overTcp = namesTcpBoard(device);
    writeConsole(
        str(boost::format(overTcp ? "--board over TCP: '%1%'\n" : "--serial device: '%1%'\n") % escapedForLog(device)));
    driver = makeDriver(device);
    driver->attach(this);
    // Before the port opens: it hears the link from the opening on.
    if (recorder) driver->attach(recorder);
    // No such device, a device another process holds, a bad name, a board's
    // server that is not there: the relay stays without a board and keeps
    // serving the program.
    const auto openFailed = [&](const char* what, const std::string& advice) {
        writeConsole(str(boost::format(overTcp ? "*** error: could not connect to the board of '%1%': %2%\n"
                                               : "*** error: could not open serial port '%1%': %2%\n") %
                         programTextForLog(port) % what) +
                     advice);
        driver->detach(this);
        if (recorder) driver->detach(recorder);
        driver.reset();
        connected = false;
        sendLine("ERROR");
    };
    try {
        driver->open();
    } catch (const boost::system::system_error& error) {
        // The driver's text names the host and port and what failed; the
        // serial devices of this machine are no help there.
        if (overTcp) {
            openFailed(error.what(), {});
        } else if (heldByAnotherProgram(error.code())) {
            openFailed("another program is using it", {});
        } else {
            openFailed(error.what(), portOpenAdvice(device, error.code()));
        }
        return;
    } catch (const std::exception& error) {
        openFailed(error.what(), {});
        return;
    }
    openDevice = device;
    if (!hasProgram()) {
        writeConsole("--no socket connection (yet) to draughts program\n");
        return;
    }
    sendLine("CONN");
}

void LowLevelDriverDemo::translateCommand(const std::string& line) {
    if (!connected) {
        writeConsole(str(boost::format("** not connected, ignore command: %1%\n") % programTextForLog(line)));
        sendLine("ERROR");
        return;
    }
    const TranslatedRequest request = translateRequest(line);
    // The command first: the board's byte need not wait for the console.
    if (request.command) send(*request.command);
    writeConsole(request.log);
}

void LowLevelDriverDemo::recordProgramLine(const std::string& line) {
    if (recorder) recorder->fromProgram(line);
}

void LowLevelDriverDemo::send(Command& command) {
    if (driver) driver->sendCommand(&command);
}
