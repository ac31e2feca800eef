#ifndef BOARDSIM_PLANNED_LINES_H
#define BOARDSIM_PLANNED_LINES_H

#include <string>
#include <vector>

#include "action_schedule.h"
#include "board_plan.h"
#include "text_lines.h"

namespace boardsim {

// Lines of commands and moves (a script, a game's moves), each made into
// actions when its turn comes. Every line was checked when it was given;
// the plan here follows the one that checked them, from where that one
// began, and so makes the same actions.
class PlannedLines : public ActionSource {
public:
    PlannedLines(std::string text, BoardPlan plan);
    PlannedLines(const PlannedLines&) = delete;
    PlannedLines& operator=(const PlannedLines&) = delete;

    std::vector<Action> next() override;

private:
    const std::string text;
    TextLines lines{text};
    BoardPlan plan;
};

}  // namespace boardsim

#endif
