#include "line_splitter.h"

#include <algorithm>
#include <cstring>
#include <utility>

bool LineSplitter::feed(const char* data, std::size_t size, const LineHandler& onLine) {
    const char* const end = data + size;
    while (data != end) {
        const char* lineFeed = static_cast<const char*>(std::memchr(data, '\n', static_cast<std::size_t>(end - data)));
        const char* stop = lineFeed != nullptr ? lineFeed : end;
        const std::size_t room = maxLength - std::min(maxLength, line.size());
        line.append(data, std::min(room, static_cast<std::size_t>(stop - data)));
        partial = true;
        if (lineFeed == nullptr) return true;
        data = lineFeed + 1;
        partial = false;
        dropCarriageReturn();
        const bool goOn = onLine(line);
        line.clear();
        if (!goOn) return false;
    }
    return true;
}

std::optional<std::string> LineSplitter::finish() {
    if (!partial) return std::nullopt;
    partial = false;
    dropCarriageReturn();
    std::string last = std::move(line);
    line.clear();
    return last;
}

void LineSplitter::dropCarriageReturn() {
    if (!line.empty() && line.back() == '\r') line.pop_back();
}
