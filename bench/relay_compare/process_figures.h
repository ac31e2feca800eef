#ifndef RELAY_COMPARE_PROCESS_FIGURES_H
#define RELAY_COMPARE_PROCESS_FIGURES_H

#include <sys/types.h>

namespace relay_compare {

// CPU time a process has used so far, all its threads together.
struct CpuTime {
    // utime + stime from /proc/<pid>/stat: in clock ticks, so only a
    // multiple of 10 ms on most kernels.
    double statMilliseconds = 0;
    // The scheduler's own count from /proc/<pid>/task/*/schedstat, in
    // nanoseconds; negative where the kernel does not keep it.
    double scheduledMicroseconds = -1;
    // How often the process's threads got a CPU: each is a wake-up.
    long timesScheduled = 0;
};

CpuTime cpuTime(pid_t pid);

// A size line of /proc/<pid>/status in KiB (field "VmRSS", "VmHWM", ...);
// -1 when it cannot be read.
long statusKiB(pid_t pid, const char* field);

}  // namespace relay_compare

#endif
