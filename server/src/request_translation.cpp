#include "request_translation.h"

#include <boost/format.hpp>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "log_text.h"

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

TranslatedRequest translateClockRequest(const std::string& line) {
    TranslatedRequest result;
    int code = 0;
    int subCommand = 0;
    const bool hasSubCommand = std::sscanf(line.c_str(), "%2d%1d", &code, &subCommand) == 2;
    result.log = "received: KRV_CMD_CLOCK_MESSAGE ";
    if (hasSubCommand && subCommand >= 0 && subCommand <= 5) {
        result.log += clockCommandNames[subCommand];
    } else if (hasSubCommand) {
        result.log += str(boost::format("\n*** unrecognized clock command: %1%\n") % subCommand);
    } else {
        result.log += "\n*** unrecognized clock command: none\n";
    }
    const std::string argument = line.size() > 3 ? line.substr(3) : std::string();
    if (!argument.empty()) result.log += " " + programTextForLog(argument);
    result.log += "\n";
    if (hasSubCommand) result.command = makeClockCommand(subCommand, argument, result.log);
    return result;
}

}  // namespace

TranslatedRequest translateRequest(const std::string& line) {
    int code = 0;
    std::sscanf(line.c_str(), "%2d", &code);
    if (code == KRV_CMD_CLOCK_MESSAGE) return translateClockRequest(line);
    for (const BoardRequest& request : boardRequests) {
        if (request.code == code) return {str(boost::format("received: %1%\n") % request.name), request.make()};
    }
    return {str(boost::format("*** unrecognized command: %1%\n") % code), nullptr};
}

std::unique_ptr<Command> makeClockCommand(int subCommand, const std::string& argument, std::string& log) {
    switch (subCommand) {
        case 0: {
            int beepTime = 0;
            if (!readNumber(argument, beepTime)) {
                log += str(boost::format("*** beep time is not a number: %1%\n") % programTextForLog(argument));
                return nullptr;
            }
            return std::make_unique<CmdClockBeep>(beepTime);
        }
        case 1:
            return std::make_unique<CmdClockIcons>();
        case 2:
            return argument.empty() ? std::make_unique<CmdClockMessage>()
                                    : std::make_unique<CmdClockMessage>(argument, 0, false);
        case 3:
            return std::make_unique<CmdClockSetNRun>();
        case 4:
            return std::make_unique<CmdEndClockMessage>();
        case 5:
            return std::make_unique<CmdClockVersion>();
        default:
            return nullptr;
    }
}
