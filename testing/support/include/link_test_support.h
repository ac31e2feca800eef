#ifndef BOARDIO_TESTS_LINK_TEST_SUPPORT_H
#define BOARDIO_TESTS_LINK_TEST_SUPPORT_H

// Shared by the tests that drive the library against virtual boards.

#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <functional>
#include <memory>
#include <cstdlib>
#include <mutex>
#include <string>
#include <system_error>
#include <vector>

#include "boardio/boardio.h"

namespace linktest {

using namespace std::chrono_literals;

// A private directory for link paths: test programs run in parallel.
class ScratchDir {
public:
    ScratchDir() {
        char name[] = "/tmp/boardio-test-XXXXXX";
        if (::mkdtemp(name) != nullptr) dir = name;
    }
    // With whatever a test left in it (a game file, say): links are
    // removed, never what they point at.
    ~ScratchDir() {
        std::error_code ignored;
        if (!dir.empty()) std::filesystem::remove_all(dir, ignored);
    }
    std::string path(const std::string& name) const { return dir + "/" + name; }
    // The link path tests give their virtual board.
    std::string boardLink() const { return path("board"); }

private:
    std::string dir;
};

// A command with whatever code, size and bytes a test needs.
class RawCommand : public krvEBLowLevel::Command {
public:
    RawCommand(short code, short size, std::vector<unsigned char> bytes)
        : Command(code, size), bytes(std::move(bytes)) {}
    unsigned char* getData() override { return bytes.empty() ? nullptr : bytes.data(); }
    std::vector<unsigned char> bytes;
};

// What an observer saw of one message.
struct Seen {
    int id;
    int size;
    std::string text;
};

// Records every message it receives, for any thread to wait on.
class MessageLog : public krvEBLowLevel::SingleBoardObserver {
public:
    void update(std::shared_ptr<krvEBLowLevel::Message> message) override {
        Seen seen{message->id, message->getSize(), {}};
        message->getText(seen.text);
        std::lock_guard<std::mutex> guard(lock);
        log.push_back(seen);
        changed.notify_all();
    }

    std::vector<Seen> snapshot() {
        std::lock_guard<std::mutex> guard(lock);
        return log;
    }

    // Waits until `done` holds for the messages so far; false on time-out.
    bool waitUntil(const std::function<bool(const std::vector<Seen>&)>& done, std::chrono::milliseconds timeout = 5s) {
        std::unique_lock<std::mutex> guard(lock);
        return changed.wait_for(guard, timeout, [&] { return done(log); });
    }

    bool waitForCount(std::size_t count, std::chrono::milliseconds timeout = 5s) {
        return waitUntil([count](const std::vector<Seen>& seen) { return seen.size() >= count; }, timeout);
    }

    // How many messages so far contain `part` in their text.
    static std::size_t countContaining(const std::vector<Seen>& seen, const std::string& part) {
        std::size_t count = 0;
        for (const Seen& s : seen) count += s.text.find(part) != std::string::npos ? 1 : 0;
        return count;
    }

    bool waitForText(const std::string& part, std::size_t times = 1, std::chrono::milliseconds timeout = 5s) {
        return waitUntil([&](const std::vector<Seen>& seen) { return countContaining(seen, part) >= times; }, timeout);
    }

private:
    std::mutex lock;
    std::condition_variable changed;
    std::vector<Seen> log;
};

// The text a driver error message carries for `report`.
inline std::string errorText(const std::string& report) { return "ERROR: 255 : " + report; }

// How many events a report of a run stands for: 250 for "012 Command
// dropped: the board is not keeping up (250 commands)"; 0 when the text
// ends in no count.
inline std::size_t countOfRun(const std::string& text) {
    const std::size_t open = text.rfind(" (");
    if (open == std::string::npos || text.back() != ')') return 0;
    const char* start = text.c_str() + open + 2;
    char* end = nullptr;
    const unsigned long count = std::strtoul(start, &end, 10);
    return end != start && *end == ' ' ? count : 0;
}

inline std::chrono::milliseconds elapsedSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
}

}  // namespace linktest

#endif
