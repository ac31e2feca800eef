#ifndef RELAY_COMPARE_IDLE_CPU_H
#define RELAY_COMPARE_IDLE_CPU_H

#include <string>
#include <vector>

#include "process_figures.h"
#include "relay_subject.h"

namespace relay_compare {

struct IdleCpu {
    double seconds = 0;
    // Used over those seconds.
    CpuTime used;
    long residentKiB = -1;
    std::string error;
};

// Every subject on a board of its own with a program connected, nothing to
// relay: the CPU time each uses over the same window. They idle side by
// side, since an idle relay does not disturb another.
std::vector<IdleCpu> measureIdleCpu(const std::vector<const RelaySubject*>& subjects, double seconds);

}  // namespace relay_compare

#endif
