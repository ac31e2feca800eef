#include "idle_cpu.h"

#include <exception>
#include <memory>
#include <thread>

namespace relay_compare {

namespace {

// Start-up work (threads, the first reads) is not idling.
constexpr std::chrono::seconds settleTime{1};

}  // namespace

std::vector<IdleCpu> measureIdleCpu(const std::vector<const RelaySubject*>& subjects, double seconds) {
    std::vector<IdleCpu> results(subjects.size());
    std::vector<std::unique_ptr<BoardPty>> boards;
    std::vector<std::unique_ptr<RelayRun>> runs(subjects.size());
    for (std::size_t i = 0; i < subjects.size(); ++i) {
        results[i].seconds = seconds;
        try {
            boards.push_back(std::make_unique<BoardPty>());
            runs[i] = subjects[i]->start(*boards.back());
        } catch (const std::exception& error) {
            results[i].error = error.what();
        }
    }
    std::this_thread::sleep_for(settleTime);

    std::vector<CpuTime> before(subjects.size());
    for (std::size_t i = 0; i < subjects.size(); ++i) {
        if (runs[i]) before[i] = cpuTime(runs[i]->process->pid());
    }
    std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    for (std::size_t i = 0; i < subjects.size(); ++i) {
        if (!runs[i]) continue;
        const pid_t relay = runs[i]->process->pid();
        const CpuTime after = cpuTime(relay);
        CpuTime& used = results[i].used;
        used.statMilliseconds = after.statMilliseconds - before[i].statMilliseconds;
        used.timesScheduled = after.timesScheduled - before[i].timesScheduled;
        if (after.scheduledMicroseconds >= 0 && before[i].scheduledMicroseconds >= 0) {
            used.scheduledMicroseconds = after.scheduledMicroseconds - before[i].scheduledMicroseconds;
        }
        results[i].residentKiB = statusKiB(relay, "VmRSS");
        if (!runs[i]->process->running()) results[i].error = "the relay ended while idle";
    }
    for (std::size_t i = 0; i < subjects.size(); ++i) {
        if (runs[i]) subjects[i]->finish(*runs[i]);
    }
    return results;
}

}  // namespace relay_compare
