// Any bytes a draughts program may send, through the relay's line handling:
// cut into lines, each handled as the session handles it, against a
// stand-in board. The log must stay free of control characters, each line
// gives the board at most one command, and the program hears only the
// relay's own replies.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <sstream>
#include <string>

#include "console.h"
#include "line_splitter.h"
#include "low_level_driver_demo.h"
#include "require.h"
#include "session.h"
#include "stand_ins.h"

using testing_support::DriverRecord;
using testing_support::RecordingDriver;
using testing_support::RecordingProgram;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::ostringstream log;
    redirectConsole(&log);
    DriverRecord record;
    record.failingDevice = "/dev/ttyS3";  // COM4 fails to open, every other port opens
    PortNames names;
    names.addRule("COM9=/dev/board9");
    auto program = std::make_shared<RecordingProgram>();
    {
        LowLevelDriverDemo demo(names, [&record](const std::string& device) {
            return std::make_unique<RecordingDriver>(record, device);
        });
        demo.setProgram(program);
        // A short cap reaches the cutting of long lines with short inputs.
        LineSplitter splitter(256);
        const auto handle = [&](const std::string& line) {
            const std::size_t commandsBefore = record.commands.size();
            const bool goOn = handleProgramLine(demo, line);
            require(record.commands.size() - commandsBefore <= 1, "a line gives at most one command");
            return goOn;
        };
        if (splitter.feed(reinterpret_cast<const char*>(data), size, handle)) {
            if (std::optional<std::string> last = splitter.finish()) handle(*last);
        }
    }
    redirectConsole(nullptr);

    requireConsoleText(log.str());
    for (const std::string& reply : program->lines) {
        require(reply == "CONN" || reply == "DISCONN" || reply == "ERROR", "the program hears only replies");
    }
    for (const testing_support::Bytes& command : record.commands) {
        require(!command.empty() && command.size() <= 10000, "a command fits a frame");
    }
    return 0;
}
