#include "planned_lines.h"

namespace boardsim {

PlannedLines::PlannedLines(std::string text, BoardPlan plan) : text(std::move(text)), plan(std::move(plan)) {}

std::vector<Action> PlannedLines::next() {
    while (const std::optional<std::string_view> line = lines.next()) {
        std::string error;
        const std::optional<ConsoleCommand> command = parseConsoleLine(std::string(*line), error);
        std::optional<std::vector<Action>> actions = command ? plan.plan(*command, error) : std::nullopt;
        if (actions && !actions->empty()) return std::move(*actions);
    }
    return {};
}

}  // namespace boardsim
