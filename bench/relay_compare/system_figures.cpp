#include "system_figures.h"

#include <dirent.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

namespace relay_compare {

namespace {

std::string procPath(pid_t pid, const std::string& rest) { return "/proc/" + std::to_string(pid) + "/" + rest; }

double statTicks(pid_t pid) {
    std::ifstream file(procPath(pid, "stat"));
    std::string text;
    std::getline(file, text);
    // The command name is in parentheses and may hold blanks: fields 14 and
    // 15 (utime, stime) count from after its closing parenthesis.
    const std::size_t close = text.rfind(')');
    double utime = 0, stime = 0;
    if (close == std::string::npos ||
        std::sscanf(text.c_str() + close + 1, "%*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %lf %lf", &utime, &stime) != 2) {
        return 0;
    }
    return utime + stime;
}

}  // namespace

CpuTime cpuTime(pid_t pid) {
    CpuTime used;
    used.statMilliseconds = statTicks(pid) * 1000.0 / static_cast<double>(::sysconf(_SC_CLK_TCK));
    DIR* tasks = ::opendir(procPath(pid, "task").c_str());
    if (tasks == nullptr) return used;
    double nanoseconds = 0;
    bool any = false;
    while (const dirent* entry = ::readdir(tasks)) {
        if (entry->d_name[0] == '.') continue;
        std::ifstream file(procPath(pid, std::string("task/") + entry->d_name + "/schedstat"));
        double onCpu = 0, waiting = 0;
        long slices = 0;
        if (file >> onCpu >> waiting >> slices) {
            nanoseconds += onCpu;
            used.timesScheduled += slices;
            any = true;
        }
    }
    ::closedir(tasks);
    if (any) used.scheduledMicroseconds = nanoseconds / 1000.0;
    return used;
}

CpuTime operator-(const CpuTime& after, const CpuTime& before) {
    CpuTime used;
    used.statMilliseconds = after.statMilliseconds - before.statMilliseconds;
    used.timesScheduled = after.timesScheduled - before.timesScheduled;
    if (after.scheduledMicroseconds >= 0 && before.scheduledMicroseconds >= 0) {
        used.scheduledMicroseconds = after.scheduledMicroseconds - before.scheduledMicroseconds;
    }
    return used;
}

long statusKiB(pid_t pid, const char* field) {
    std::ifstream file(procPath(pid, "status"));
    const std::string prefix = std::string(field) + ":";
    std::string line;
    while (std::getline(file, line)) {
        if (line.rfind(prefix, 0) == 0) return std::stol(line.substr(prefix.size()));
    }
    return -1;
}

Machine describeMachine() {
    Machine machine;
    machine.cores = ::sysconf(_SC_NPROCESSORS_ONLN);
    machine.model = "unknown";
    std::ifstream cpuinfo("/proc/cpuinfo");
    for (std::string line; std::getline(cpuinfo, line);) {
        if (line.rfind("model name", 0) != 0) continue;
        const std::size_t start = line.find_first_not_of(" \t", line.find(':') + 1);
        if (line.find(':') != std::string::npos && start != std::string::npos) machine.model = line.substr(start);
        break;
    }
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
