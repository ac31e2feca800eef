#include "process_figures.h"

#include <dirent.h>
#include <unistd.h>

#include <boost/format.hpp>
#include <fstream>
#include <sstream>
#include <string>

namespace relay_compare {

namespace {

std::string procPath(pid_t pid, const std::string& rest) { return str(boost::format("/proc/%1%/%2%") % pid % rest); }

double statTicks(pid_t pid) {
    std::ifstream file(procPath(pid, "stat"));
    std::string text;
    std::getline(file, text);
    // The command name is in parentheses and may hold blanks: count the
    // fields from after its closing parenthesis, where field 3 starts.
    const std::size_t close = text.rfind(')');
    if (close == std::string::npos) return 0;
    std::istringstream fields(text.substr(close + 2));
    std::string field;
    double utime = 0, stime = 0;
    for (int number = 3; number <= 15 && fields >> field; ++number) {
        if (number == 14) utime = std::stod(field);
        if (number == 15) stime = std::stod(field);
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

long statusKiB(pid_t pid, const char* field) {
    std::ifstream file(procPath(pid, "status"));
    const std::string prefix = std::string(field) + ":";
    std::string line;
    while (std::getline(file, line)) {
        if (line.rfind(prefix, 0) == 0) return std::stol(line.substr(prefix.size()));
    }
    return -1;
}

}  // namespace relay_compare
