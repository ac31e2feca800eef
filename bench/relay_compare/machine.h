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

}  // namespace relay_compare

#endif
