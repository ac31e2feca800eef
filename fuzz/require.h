#ifndef FUZZ_REQUIRE_H
#define FUZZ_REQUIRE_H

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

// A broken promise of the code under test counts as a crash, so that
// libFuzzer keeps the input that broke it.
inline void require(bool holds, const char* promise) {
    if (holds) return;
    std::fprintf(stderr, "broken: %s\n", promise);
    std::abort();
}

// A console's text holds no control character but the line feed: what
// anyone typed or sent reaches it escaped.
inline void requireConsoleText(const std::string& text) {
    require(std::none_of(text.begin(), text.end(),
                         [](char c) {
                             const auto byte = static_cast<unsigned char>(c);
                             return (byte < 0x20 && byte != '\n') || byte == 0x7F;
                         }),
            "the console holds no control character but the line feed");
}

#endif
