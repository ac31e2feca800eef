#ifndef RELAY_COMPARE_MACHINE_H
#define RELAY_COMPARE_MACHINE_H

#include <string>

namespace relay_compare {

// What the figures were measured on: they mean little without it.
struct Machine {
    long cores = 0;
    std::string model;
    std::string kernel;
};

Machine describeMachine();

// The 1, 5 and 15 minute load averages: on a shared machine, latency figures
// taken under load say more about the load than about the relays.
std::string loadAverage();

}  // namespace relay_compare

#endif
