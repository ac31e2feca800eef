#include "low_level_driver_demo.h"

#include <boost/format.hpp>
#include <boost/system/system_error.hpp>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <utility>

#include "console.h"
#include "port_open_advice.h"
#include "program_connection.h"

using namespace krvEBLowLevel;

namespace {

// The requests that become a single-byte command; the code is the command
// byte in decimal.
struct BoardRequest {
    int code;
    const char* name;
    std::unique_ptr<Command> (*make)();
};

template <class CommandClass>
std::unique_ptr<Command> make() {
    return std::make_unique<CommandClass>();
}

const BoardRequest boardRequests[] = {
    {KRV_CMD_SEND_RESET, "KRV_CMD_SEND_RESET", make<CmdSendReset>},
    {KRV_CMD_SEND_CLK, "KRV_CMD_SEND_CLK", make<CmdSendClk>},
    {KRV_CMD_SEND_BRD, "KRV_CMD_SEND_BRD", make<CmdSendBrd>},
    {KRV_CMD_SEND_UPDATE, "KRV_CMD_SEND_UPDATE", make<CmdSendUpdate>},
    {KRV_CMD_SEND_UPDATE_BRD, "KRV_CMD_SEND_UPDATE_BRD", make<CmdSendUpdateBrd>},
    {KRV_CMD_RETURN_SERIALNR, "KRV_CMD_RETURN_SERIALNR", make<CmdReturnSerialNr>},
    {KRV_CMD_RETURN_BUSADDRESS, "KRV_CMD_RETURN_BUSADDRESS", make<CmdReturnBusAddress>},
    {KRV_CMD_SEND_TRADEMARK, "KRV_CMD_SEND_TRADEMARK", make<CmdSendTrademark>},
    {KRV_CMD_SEND_EE_MOVES, "KRV_CMD_SEND_EE_MOVES", make<CmdSendEEMoves>},
    {KRV_CMD_SEND_UPDATE_NICE, "KRV_CMD_SEND_UPDATE_NICE", make<CmdSendUpdateNice>},
    {KRV_CMD_SEND_BATTERY_STATUS, "KRV_CMD_SEND_BATTERY_STATUS", make<CmdSendBatteryStatus>},
    {KRV_CMD_SEND_VERSION, "KRV_CMD_SEND_VERSION", make<CmdSendVersion>},
};

const char* const clockCommandNames[] = {"BEEP ", "ICON ", "MESSAGE ", "SETNRUN ", "END_MESSAGE ", "VERSION "};

// The number at the start of text as "%d" reads it, when there is one that
// fits an int.
bool readNumber(const std::string& text, int& number) {
    const char* start = text.c_str();
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(start, &end, 10);
    if (end == start || errno == ERANGE || value < INT_MIN || value > INT_MAX) return false;
    number = static_cast<int>(value);
    return true;
}

}  // namespace

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

void LowLevelDriverDemo::connectBoard(const std::string& portText) {
    port = portText;
    if (connected) {
        // A program that connects to a relay that already has the board (as
        // at start-up in auto-connect mode) must not lose it by asking again.
        if (portNames.resolve(port) == openDevice) {
            sendLine("CONN");
            return;
        }
        closeBoard();
    }
    toggleConnection();
}

void LowLevelDriverDemo::disconnectBoard() {
    port.clear();
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
    driver.reset();
}

void LowLevelDriverDemo::toggleConnection() {
    if (!connected) {
        openConnection();
        return;
    }
    closeBoard();
    if (hasProgramSocket()) sendLine("DISCONN");
}

void LowLevelDriverDemo::openConnection() {
    connected = true;
    writeConsole(str(boost::format("--connect to board, serial port: '%1%'\n") % port));
    const std::string device = portNames.resolve(port);
    writeConsole(str(boost::format("--serial device: '%1%'\n") % device));
    driver = makeDriver(device);
    driver->attach(this);
    // No such device, a device another process holds, a bad name: the
    // relay stays without a board and keeps serving the program.
    const auto openFailed = [&](const char* what, const std::string& advice) {
        writeConsole(str(boost::format("*** error: could not open serial port '%1%': %2%\n") % port % what) + advice);
        driver->detach(this);
        driver.reset();
        connected = false;
        sendLine("ERROR");
    };
    try {
        driver->open();
    } catch (const boost::system::system_error& error) {
        openFailed(error.what(), portOpenAdvice(device, error.code()));
        return;
    } catch (const std::exception& error) {
        openFailed(error.what(), {});
        return;
    }
    openDevice = device;
    if (!hasProgramSocket()) {
        writeConsole("--no socket connection (yet) to draughts program\n");
        return;
    }
    sendLine("CONN");
}

void LowLevelDriverDemo::translateCommand(const std::string& line) {
    if (!connected) {
        writeConsole(str(boost::format("** not connected, ignore command: %1%\n") % line));
        sendLine("ERROR");
        return;
    }
    int code = 0;
    std::sscanf(line.c_str(), "%2d", &code);
    if (code == KRV_CMD_CLOCK_MESSAGE) {
        int subCommand = 0;
        const bool hasSubCommand = std::sscanf(line.c_str(), "%2d%1d", &code, &subCommand) == 2;
        std::string text = "received: KRV_CMD_CLOCK_MESSAGE ";
        if (hasSubCommand && subCommand >= 0 && subCommand <= 5) {
            text += clockCommandNames[subCommand];
        } else if (hasSubCommand) {
            text += str(boost::format("\n*** unrecognized clock command: %1%\n") % subCommand);
        } else {
            text += "\n*** unrecognized clock command: none\n";
        }
        const std::string argument = line.size() > 3 ? line.substr(3) : std::string();
        if (!argument.empty()) text += " " + argument;
        writeConsole(text + "\n");
        if (hasSubCommand) sendClockCommand(subCommand, argument);
        return;
    }
    for (const BoardRequest& request : boardRequests) {
        if (request.code != code) continue;
        writeConsole(str(boost::format("received: %1%\n") % request.name));
        send(*request.make());
        return;
    }
    writeConsole(str(boost::format("*** unrecognized command: %1%\n") % code));
}

void LowLevelDriverDemo::sendClockCommand(int subCommand, const std::string& argument) {
    std::unique_ptr<Command> command;
    switch (subCommand) {
        case 0: {
            int beepTime = 0;
            if (!readNumber(argument, beepTime)) {
                writeConsole(str(boost::format("*** beep time is not a number: %1%\n") % argument));
                return;
            }
            command = std::make_unique<CmdClockBeep>(beepTime);
            break;
        }
        case 1:
            command = std::make_unique<CmdClockIcons>();
            break;
        case 2:
            command = argument.empty() ? std::make_unique<CmdClockMessage>()
                                       : std::make_unique<CmdClockMessage>(argument, 0, false);
            break;
        case 3:
            command = std::make_unique<CmdClockSetNRun>();
            break;
        case 4:
            command = std::make_unique<CmdEndClockMessage>();
            break;
        case 5:
            command = std::make_unique<CmdClockVersion>();
            break;
        default:
            return;
    }
    send(*command);
}

void LowLevelDriverDemo::send(Command& command) {
    if (driver) driver->sendCommand(&command);
}
