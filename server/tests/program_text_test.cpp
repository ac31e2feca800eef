// The program's bytes: cut into lines whatever the reads, and shown safely
// in the log.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "line_splitter.h"
#include "log_text.h"

namespace {

using Lines = std::vector<std::string>;

TEST(LineSplitterTest, CutsLinesWhateverTheReadsAndBoundsThem) {
    const std::size_t cap = 16;
    struct Case {
        const char* what;
        Lines reads;
        Lines lines;  // "<end>" marks the last line given at the end
    };
    const Case cases[] = {
        {"two lines in one read", {"EXIT\nDISC\n"}, {"EXIT", "DISC"}},
        {"CR LF ends a line too", {"66\r\nDISC\r", "\n\r\n"}, {"66", "DISC", ""}},
        {"only one CR, and only at the end", {"EXIT\r\r\na\rb\n"}, {"EXIT\r", "a\rb"}},
        {"CR at the end of a partial last line", {"43\r"}, {"43<end>"}},
        {"a line over three reads", {"4", "32hel", "lo\n"}, {"432hello"}},
        {"empty lines", {"\n\n"}, {"", ""}},
        {"partial last line", {"64\n43"}, {"64", "43<end>"}},
        {"line of exactly the cap", {std::string(cap, 'b') + "\n66\n"}, {std::string(cap, 'b'), "66"}},
        {"longer line cut, rest discarded over reads",
         {std::string(cap + 5, 'a'), std::string(40, 'z') + "\n66\n"},
         {std::string(cap, 'a'), "66"}},
        {"cut line at the end", {std::string(cap * 3, 'a')}, {std::string(cap, 'a') + "<end>"}},
        {"binary bytes pass", {std::string("\0\xff\x01\n", 4)}, {std::string("\0\xff\x01", 3)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LineSplitter splitter(cap);
        Lines lines;
        for (const std::string& read : c.reads) {
            splitter.feed(read.data(), read.size(), [&](const std::string& line) {
                lines.push_back(line);
                return true;
            });
        }
        if (std::optional<std::string> last = splitter.finish()) lines.push_back(*last + "<end>");
        EXPECT_EQ(lines, c.lines);
    }
}

TEST(LineSplitterTest, StopsAtTheLineItIsToldToStopAt) {
    LineSplitter splitter;
    Lines lines;
    const std::string bytes = "66\nEXIT\n77\n";
    EXPECT_FALSE(splitter.feed(bytes.data(), bytes.size(), [&](const std::string& line) {
        lines.push_back(line);
        return line != "EXIT";
    }));
    EXPECT_EQ(lines, (Lines{"66", "EXIT"}));
}

TEST(LogTextTest, ControlCharactersAreEscapedAndLongLinesShortened) {
    struct Case {
        std::string text;
        std::string logged;
    };
    const Case cases[] = {
        {"#Quorvin 4.2 \xc3\xa9", "#Quorvin 4.2 \xc3\xa9"},
        {"\x1b[2J\x1b]0;title\x07", "\\x1B[2J\\x1B]0;title\\x07"},
        {"EXIT\r", "EXIT\\x0D"},
        {std::string("a\0b\x7f", 4), "a\\x00b\\x7F"},
        {"\xc2\x9b" "31m \xc2\xa0", "\\xC2\\x9B31m \xc2\xa0"},
        // C1 bytes on their own, as 8-bit terminals take them; well-formed
        // UTF-8 whose later bytes lie in that range passes.
        {"\x9b" "31m \x80\x9f\xa0", "\\x9B31m \\x80\\x9F\xa0"},
        {"caf\xe9\x9b \xe2\x80\x99 \xf0\x9f\x98\x80", "caf\xe9\\x9B \xe2\x80\x99 \xf0\x9f\x98\x80"},
        {"\xe2\x80\x9b" "\xe2\x80", "\xe2\x80\x9b\xe2\\x80"},
        {"\xed\xa0\x80 \xc0\x9b", "\xed\xa0\\x80 \xc0\\x9B"},
        {std::string(maxLoggedLength + 1, 'x'), std::string(maxLoggedLength, 'x') + "... (201 bytes)"},
    };
    for (const Case& c : cases) EXPECT_EQ(programTextForLog(c.text), c.logged);
}

}  // namespace
