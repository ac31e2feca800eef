#include "textio/bounded_writer.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

namespace textio {

struct BoundedWriter::State {
    State(Output output, WriterPolicy policy) : output(std::move(output)), policy(std::move(policy)) {}

    void add(std::string text);
    void run();
    std::string note() { return policy.gapNote ? policy.gapNote(std::exchange(dropped, 0)) : (dropped = 0, ""); }
    // Everything handed over has been written, or will never be.
    bool settled() const { return ended || (waiting.empty() && dropped == 0 && !writing); }

    const Output output;
    const WriterPolicy policy;

    std::mutex lock;
    std::condition_variable work;     // a text waits, or the writer is to end
    std::condition_variable written;  // a write ended, or the writer did
    std::deque<std::string> waiting;
    std::size_t waitingBytes = 0;
    std::size_t dropped = 0;  // lines
    bool lineOpen = false;    // the last text written ended in the middle of a line
    bool writing = false;
    bool finishing = false;
    bool ended = false;
    bool outputFailed = false;
};

namespace {

std::size_t linesIn(const std::string& text) {
    return std::max<std::size_t>(1, static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')));
}

}  // namespace

void BoundedWriter::State::add(std::string text) {
    std::lock_guard<std::mutex> hold(lock);
    if (finishing || ended) return;
    if (policy.whenFull == WhenFull::keepOrderMarkGap) {
        if (waitingBytes + text.size() > policy.bound) {
            dropped += linesIn(text);
            return;
        }
        if (dropped > 0) {
            std::string gap = note();
            waitingBytes += gap.size();
            waiting.push_back(std::move(gap));
        }
        waitingBytes += text.size();
        waiting.push_back(std::move(text));
    } else {
        waitingBytes += text.size();
        waiting.push_back(std::move(text));
        while (waitingBytes > policy.bound && waiting.size() > 1) {
            dropped += linesIn(waiting.front());
            waitingBytes -= waiting.front().size();
            waiting.pop_front();
        }
    }
    work.notify_one();
}

void BoundedWriter::State::run() {
    std::unique_lock<std::mutex> hold(lock);
    for (;;) {
        work.wait(hold, [this] { return finishing || !waiting.empty(); });
        if (waiting.empty() && dropped == 0) break;
        std::string texts;
        // The dropped lines of a console came right before what waits now; a
        // recording's came after everything that waits.
        if (dropped > 0 && policy.whenFull == WhenFull::dropOldest) texts = note();
        if (!texts.empty() && lineOpen) texts.insert(0, "\n");
        texts.reserve(texts.size() + waitingBytes);
        for (const std::string& text : waiting) texts += text;
        waiting.clear();
        waitingBytes = 0;
        if (dropped > 0 && policy.whenFull == WhenFull::keepOrderMarkGap) texts += note();
        if (texts.empty()) continue;
        writing = true;
        hold.unlock();
        const bool ok = output(texts);
        hold.lock();
        writing = false;
        lineOpen = texts.back() != '\n';
        written.notify_all();
        if (!ok) {
            outputFailed = true;
            break;
        }
    }
    waiting.clear();
    waitingBytes = 0;
    dropped = 0;
    ended = true;
    written.notify_all();
}

BoundedWriter::BoundedWriter(Output output, WriterPolicy policy)
    : state(std::make_shared<State>(std::move(output), std::move(policy))) {
    // The thread owns the state with us: a writer left stalled at finish()
    // still has its output and its texts.
    std::thread([state = state] { state->run(); }).detach();
}

BoundedWriter::~BoundedWriter() {
    if (!finished) finish();
}

void BoundedWriter::add(std::string text) { state->add(std::move(text)); }

bool BoundedWriter::flush(std::chrono::milliseconds patience) {
    std::unique_lock<std::mutex> hold(state->lock);
    const auto settled = [this] { return state->settled(); };
    if (patience == std::chrono::milliseconds::max()) {
        state->written.wait(hold, settled);
        return !state->outputFailed;
    }
    return state->written.wait_for(hold, patience, settled) && !state->outputFailed;
}

bool BoundedWriter::finish(std::chrono::milliseconds patience) {
    finished = true;
    std::unique_lock<std::mutex> hold(state->lock);
    state->finishing = true;
    state->work.notify_one();
    return state->written.wait_for(hold, patience, [this] { return state->ended; }) && !state->outputFailed;
}

bool BoundedWriter::failed() const {
    std::lock_guard<std::mutex> hold(state->lock);
    return state->outputFailed;
}

}  // namespace textio
