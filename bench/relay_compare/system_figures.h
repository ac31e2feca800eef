#ifndef RELAY_COMPARE_SYSTEM_FIGURES_H
#define RELAY_COMPARE_SYSTEM_FIGURES_H

#include <sys/types.h>

#include <string>

namespace relay_compare {

// CPU time a process has used so far, all its threads together.
struct CpuTime {
    // utime + stime from /proc/<pid>/stat: in clock ticks, so only a
    // multiple of 10 ms on most kernels.
    double statMilliseconds = 0;
    // The scheduler's own count from /proc/<pid>/task/*/schedstat;
    // negative where the kernel does not keep it.
    double scheduledMicroseconds = -1;
    // How often the process's threads got a CPU: each is a wake-up.
    long timesScheduled = 0;

    // The scheduler's figure where there is one: stat's ticks are too
    // coarse for a stream that may last a fraction of a second.
    double bestMicroseconds() const {
        return scheduledMicroseconds >= 0 ? scheduledMicroseconds : statMilliseconds * 1000.0;
    }
};

CpuTime cpuTime(pid_t pid);
// What was used from before to after.
CpuTime operator-(const CpuTime& after, const CpuTime& before);

// A size line of /proc/<pid>/status in KiB (field "VmRSS", "VmHWM", ...);
// -1 when it cannot be read.
long statusKiB(pid_t pid, const char* field);

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
