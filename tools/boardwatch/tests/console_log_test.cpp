// A console nobody reads holds nothing up: lines past the bound are dropped
// and counted, and the rest come out in order once it is read again.
#include "console_log.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <mutex>
#include <thread>

namespace boardwatch {
namespace {

TEST(ConsoleLog, AConsoleNobodyReadsHoldsNothingUp) {
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    std::FILE* out = ::fdopen(ends[1], "w");
    const std::string filler(100, 'x');
    auto console = std::make_unique<ConsoleLog>(out);
    // Far more than the pipe holds, while nobody reads.
    for (int i = 0; i < 5000; ++i) console->line("line " + std::to_string(i) + " " + filler);
    console->line("last");
    std::mutex lock;
    std::string written;
    std::thread reader([&] {
        char buffer[4096];
        for (ssize_t got; (got = ::read(ends[0], buffer, sizeof buffer)) > 0;) {
            std::lock_guard<std::mutex> hold(lock);
            written.append(buffer, static_cast<std::size_t>(got));
        }
    });
    // Read again, the console takes lines again: "after" until one gets
    // through.
    for (int tries = 0; tries < 600; ++tries) {
        console->line("after");
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        std::lock_guard<std::mutex> hold(lock);
        if (written.find("after") != std::string::npos) break;
    }
    // The end writes what waits; the reader ends with the pipe.
    console.reset();
    std::fclose(out);
    reader.join();
    EXPECT_EQ(written.rfind("line 0 ", 0), 0u);
    EXPECT_LT(written.find("line 1 "), written.find("line 2 "));
    EXPECT_EQ(written.find("last"), std::string::npos);
    EXPECT_NE(written.find(" lines dropped: the console was not read)\nafter\n"), std::string::npos);
    ::close(ends[0]);
}

}  // namespace
}  // namespace boardwatch
