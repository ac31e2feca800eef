#include "recording_file.h"

#include <algorithm>
#include <boost/format.hpp>
#include <utility>

#include "console.h"

RecordingFile::RecordingFile(std::unique_ptr<std::ostream> out, std::string name, std::size_t waitingLimit)
    : out(std::move(out)), name(std::move(name)), waitingLimit(waitingLimit), writer([this] { writeAll(); }) {}

RecordingFile::~RecordingFile() {
    {
        std::lock_guard<std::mutex> hold(lock);
        ending = true;
    }
    wake.notify_one();
    writer.join();
}

void RecordingFile::add(std::string lines) {
    {
        std::lock_guard<std::mutex> hold(lock);
        if (failed) return;
        if (waitingBytes + lines.size() > waitingLimit) {
            ++lost;
            return;
        }
        // Noted where they went missing: before the first line after them.
        if (lost > 0) lines = lostNote() + lines;
        waitingBytes += lines.size();
        waiting.push_back(std::move(lines));
    }
    wake.notify_one();
}

std::string RecordingFile::lostNote() {
    return str(boost::format("# %1% lines lost here: the disk did not keep up\n") % std::exchange(lost, 0));
}

void RecordingFile::writeAll() {
    std::unique_lock<std::mutex> hold(lock);
    for (;;) {
        wake.wait(hold, [this] { return ending || !waiting.empty(); });
        if (waiting.empty() && lost > 0) waiting.push_back(lostNote());
        if (waiting.empty()) return;
        std::string lines = std::move(waiting.front());
        waiting.pop_front();
        waitingBytes -= std::min(waitingBytes, lines.size());
        hold.unlock();
        *out << lines;
        out->flush();
        const bool wrote = out->good();
        hold.lock();
        if (wrote) continue;
        failed = true;
        waiting.clear();
        hold.unlock();
        writeConsole(str(boost::format("*** error: writing the recording '%1%' failed: the recording ends here\n") %
                         name));
        return;
    }
}
