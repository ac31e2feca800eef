#include "console_queue.h"

#include <algorithm>
#include <boost/format.hpp>

void ConsoleQueue::push(std::string text) {
    waitingBytes += text.size();
    waiting.push_back(std::move(text));
    while (waitingBytes > bound && waiting.size() > 1) {
        const std::string& oldest = waiting.front();
        // A text without a line feed (a prompt) still costs the reader a line.
        const auto lineFeeds = static_cast<std::size_t>(std::count(oldest.begin(), oldest.end(), '\n'));
        droppedLines += std::max<std::size_t>(1, lineFeeds);
        waitingBytes -= oldest.size();
        waiting.pop_front();
    }
}

std::string ConsoleQueue::take() {
    std::string text;
    if (droppedLines > 0) {
        // The lost lines came right after what was written last.
        text = str(boost::format("%1%*** the console did not keep up, lines dropped: %2%\n") %
                   (lineOpen ? "\n" : "") % droppedLines);
        droppedLines = 0;
    }
    text.reserve(text.size() + waitingBytes);
    for (const std::string& part : waiting) text += part;
    waiting.clear();
    waitingBytes = 0;
    if (!text.empty()) lineOpen = text.back() != '\n';
    return text;
}
