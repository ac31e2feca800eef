#ifndef RELAY_COMPARE_REPORT_H
#define RELAY_COMPARE_REPORT_H

#include <ostream>
#include <vector>

#include "comparison.h"
#include "targets.h"

namespace relay_compare {

// The comparison as one table, damrelay beside socat, targets beside the
// figures they are about.
void printTable(std::ostream& out, const Comparison& comparison, const std::vector<Target>& targets);

// The same figures as JSON, for comparing runs.
void writeJson(std::ostream& out, const Comparison& comparison, const std::vector<Target>& targets);

}  // namespace relay_compare

#endif
