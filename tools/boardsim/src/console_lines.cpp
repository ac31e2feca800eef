#include "console_lines.h"

#include <utility>

namespace boardsim {

bool ConsoleLines::feed(std::string_view typed, BoardProgram& program, Time now) {
    for (std::string_view rest = typed; !rest.empty();) {
        const std::size_t end = rest.find('\n');
        if (!dropping) {
            line.append(rest.substr(0, end));
            if (line.size() > BoardProgram::longestLine) {
                program.consoleLineTooLong();
                dropping = true;
                line.clear();
            }
        }
        if (end == std::string_view::npos) break;
        rest.remove_prefix(end + 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!std::exchange(dropping, false) && !program.fromConsole(line, now)) return false;
        line.clear();
    }
    return true;
}

}  // namespace boardsim
