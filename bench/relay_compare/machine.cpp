#include "machine.h"

#include <sys/utsname.h>
#include <unistd.h>

#include <fstream>

namespace relay_compare {

Machine describeMachine() {
    Machine machine;
    machine.cores = ::sysconf(_SC_NPROCESSORS_ONLN);

    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string line;
    while (std::getline(cpuinfo, line)) {
        if (line.rfind("model name", 0) != 0) continue;
        const std::size_t colon = line.find(':');
        const std::size_t start = line.find_first_not_of(" \t", colon == std::string::npos ? 0 : colon + 1);
        if (colon != std::string::npos && start != std::string::npos) machine.model = line.substr(start);
        break;
    }
    if (machine.model.empty()) machine.model = "unknown";

    utsname names{};
    if (::uname(&names) == 0) machine.kernel = std::string(names.sysname) + " " + names.release;
    return machine;
}

std::string loadAverage() {
    std::ifstream loadavg("/proc/loadavg");
    std::string one, five, fifteen;
    if (!(loadavg >> one >> five >> fifteen)) return "unknown";
    return one + " " + five + " " + fifteen;
}

}  // namespace relay_compare
