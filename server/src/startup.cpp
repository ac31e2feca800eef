#include "startup.h"

#include <boost/asio/ip/address.hpp>
#include <boost/format.hpp>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <exception>
#include <iostream>

#include "console.h"
#include "log_text.h"
#include "low_level_driver_demo.h"
#include "recording_file.h"
#include "recording_format.h"
#include "session.h"

namespace {

// The first argument as "%d" reads it; 0 when it has no number or one too
// large to read.
long readSocketPort(const std::string& text) {
    const char* start = text.c_str();
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(start, &end, 10);
    if (end == start || errno == ERANGE) return 0;
    return value;
}

std::string localTimeNow() {
    const std::time_t now = std::time(nullptr);
    char text[32] = {};
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", std::localtime(&now));
    return text;
}

// How long the start waits for the recording's file to open: a plain
// mistake (no such folder, a directory, no permission) fails at once and is
// named, and any working disk opens a file far sooner; a FIFO nobody reads or
// a stalled share costs the start this much and no more.
constexpr std::chrono::milliseconds recordingOpenPatience{1000};

// The recording, begun; empty, with the console told why, when its file
// cannot be created. A file that has neither opened nor failed by the
// patience is left to open when it can, the lines waiting for it.
std::unique_ptr<RecordingFile> startRecording(const std::string& path) {
    auto file = std::make_unique<RecordingFile>(RecordingFile::fileAt(path), path);
    file->add(recording::headerLines(localTimeNow()));
    if (file->flush(recordingOpenPatience)) {
        writeConsole(str(boost::format("recording to '%1%'\n") % path));
    } else if (file->failed()) {
        return nullptr;
    } else {
        writeConsole(str(boost::format("recording to '%1%': the file does not take lines yet (a FIFO nobody reads, "
                                       "a stalled disk?); they wait for it\n") %
                         path));
    }
    return file;
}

void waitForConfirmation() {
    writeConsole("Type anything and enter to exit ");
    // The question must be on the screen before the relay waits for its
    // answer.
    flushConsole(consolePatience);
    char typed = 0;
    std::cin >> typed;
}

bool isOption(const std::string& word) { return word.rfind("--", 0) == 0 || word == "-h"; }

std::string quoted(const std::string& text) { return "'" + escapedForLog(text) + "'"; }

// Takes the value of --map, --listen or --record into settings; what is
// wrong with it, if anything.
std::string applyOption(const std::string& name, const std::string& value, StartupSettings& settings) {
    if (name == "--record") {
        settings.recordFile = value;
        return value.empty() ? "--record needs a file name, for example --record session.rec" : "";
    }
    if (name == "--map") {
        if (settings.portNames.addRule(value)) return {};
        return str(boost::format("--map %1%: give COM<n>=<device>, for example --map COM3=/dev/ttyUSB0") %
                   quoted(value));
    }
    boost::system::error_code error;
    boost::asio::ip::make_address(value, error);
    if (error) {
        return str(boost::format("--listen %1%: give an IPv4 or IPv6 address, for example --listen 127.0.0.1") %
                   quoted(value));
    }
    settings.listen.address = value;
    return {};
}

}  // namespace

std::optional<StartupSettings> parseCommandLine(const std::vector<std::string>& arguments, std::string& error) {
    StartupSettings settings;
    for (const std::string& word : arguments) {
        settings.help = settings.help || word == "--help" || word == "-h";
        settings.version = settings.version || word == "--version";
    }
    if (settings.help || settings.version) return settings;

    std::size_t next = 0;
    for (; next < arguments.size() && isOption(arguments[next]); ++next) {
        const std::string& word = arguments[next];
        const std::string::size_type equals = word.find('=');
        const std::string name = word.substr(0, equals);
        if (name != "--map" && name != "--listen" && name != "--record") {
            error = str(boost::format("unknown option %1%") % quoted(name));
            return std::nullopt;
        }
        std::string value;
        if (equals != std::string::npos) {
            value = word.substr(equals + 1);
        } else if (next + 1 < arguments.size()) {
            value = arguments[++next];
        } else {
            error = str(boost::format("%1% needs a value") % name);
            return std::nullopt;
        }
        error = applyOption(name, value, settings);
        if (!error.empty()) return std::nullopt;
    }

    const std::vector<std::string> positional(arguments.begin() + static_cast<long>(next), arguments.end());
    for (const std::string& word : positional) {
        if (!isOption(word)) continue;
        error = str(boost::format("%1% comes too late: options go before the socket port") % quoted(word));
        return std::nullopt;
    }
    if (positional.size() > 2) {
        error = str(boost::format("too many arguments: %1% is a third one") % quoted(positional[2]));
        return std::nullopt;
    }
    if (!positional.empty()) {
        const long socketPort = readSocketPort(positional[0]);
        if (socketPort < 1 || socketPort > 65535) {
            error = str(boost::format("socket port %1%: give a number from 1 to 65535") % quoted(positional[0]));
            return std::nullopt;
        }
        settings.listen.port = static_cast<unsigned short>(socketPort);
    }
    if (positional.size() == 2) settings.comPort = positional[1];
    settings.confirmExit = positional.size() == 2;
    return settings;
}

void printUsage(bool exitAfter) {
    writeConsole(
        "usage:\n"
        "  damrelay [<socket port> [COM<1-4>]]\n"
        "default values:\n"
        "  socket port is 50000 (Quorvin default)\n"
        "  COM    port is none  (draughts program controlled)\n"
        "examples:\n"
        "  damrelay\n"
        "  damrelay 50000\n"
        "  damrelay 50000 COM3\n");
    writeConsole(
        "options (before the other arguments):\n"
        "  --map COM<n>=<device>  the port name COM<n> opens <device>, a serial device or\n"
        "                         tcp:HOST:PORT (a board served over TCP); may be repeated\n"
        "  --listen <address>     take programs on this address only (default: every\n"
        "                         interface), for example --listen 127.0.0.1\n"
        "  --record <file>        write everything the board's link sees (its bytes both\n"
        "                         ways, its port opened and closed) and every line of\n"
        "                         the program, with their times, to <file>\n"
        "  --help                 show this text and exit\n"
        "  --version              show the version and exit\n");
#if !defined(_WIN32)
    writeConsole(
        "serial ports:\n"
        "  COM<n> opens /dev/ttyS<n-1> unless --map names another device for it:\n"
        "  damrelay --map COM3=/dev/ttyUSB0 50000 COM3\n"
        "  at start-up a device path works too: damrelay 50000 /dev/ttyUSB0\n");
#endif
    writeConsole(
        "boards served over TCP (ser2net on a small computer, or boardsim):\n"
        "  damrelay --map COM3=tcp:pi.local:3333 50000\n"
        "  at start-up tcp:HOST:PORT works too: damrelay 50000 tcp:127.0.0.1:3333\n");
    if (exitAfter) waitAndExit();
}

void waitAndExit() {
    waitForConfirmation();
    std::exit(1);
}

int runRelay(const std::vector<std::string>& arguments) {
    writeConsole(str(boost::format("%1%\n%2%\n\n") % serverName % serverVersion));
    std::string error;
    const std::optional<StartupSettings> settings = parseCommandLine(arguments, error);
    if (!settings) {
        writeConsole(str(boost::format("*** error: %1%\n") % error));
        printUsage(true);
    }
    if (settings->version) {
        writeConsole(str(boost::format("damrelay %1%\n") % DAMRELAY_VERSION));
        return 0;
    }
    printUsage(false);
    if (settings->help) return 0;
    writeConsole("\n");
    writeConsole(str(boost::format("socket port Draughts program = %1%\n") % settings->listen.port));
    if (settings->listen.address != ListenSettings().address) {
        writeConsole(str(boost::format("socket address Draughts program = %1%\n") % settings->listen.address));
    }
    writeConsole(str(boost::format("COM    port KRV E-board      = %1%\n") %
                     (settings->comPort.empty() ? std::string("none") : settings->comPort)));

    // Declared before the board's side, so that they outlive its last
    // message.
    std::unique_ptr<RecordingFile> recordingFile;
    std::unique_ptr<SessionRecorder> recorder;
    if (!settings->recordFile.empty()) {
        recordingFile = startRecording(settings->recordFile);
        if (!recordingFile) return 1;
        recorder = std::make_unique<SessionRecorder>([file = recordingFile.get()](std::string line) {
            file->add(std::move(line));
        });
    }
    LowLevelDriverDemo demo(settings->portNames);
    demo.setRecorder(recorder.get());
    writeConsole(settings->confirmExit ? "\nNOTE: server will auto-connect to E-board and confirm exit\n\n"
                                       : "\nNOTE: server will be controlled by Draughts program and auto-exit\n\n");
    int exitCode = settings->confirmExit ? 1 : 0;
    try {
        if (runMessageListener(settings->listen, demo, settings->comPort) == SessionEnd::exitRequested) {
            // The program asked the relay to end: at once, in either mode.
            return 0;
        }
    } catch (const std::exception& error) {
        // For example the socket port held by another program.
        writeConsole(str(boost::format("*** error: %1%\n") % error.what()));
        exitCode = 1;
    }
    // In auto-connect mode the board stays connected while the user decides.
    if (settings->confirmExit) waitForConfirmation();
    demo.closeBoard();
    return exitCode;
}
