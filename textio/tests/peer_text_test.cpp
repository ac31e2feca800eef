#include <gtest/gtest.h>

#include <string>

#include "textio/utf8.h"

TEST(PeerText, ValidUtf8ReplacesEachByteThatIsNotPartOfWellFormedUtf8) {
    struct Case {
        std::string text;
        std::string valid;
    };
    const std::string r = "\xEF\xBF\xBD";
    const Case cases[] = {
        {"021 caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", "021 caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"},
        {std::string("a\0b\x1B", 4), std::string("a\0b\x1B", 4)},  // controls are valid: JSON escapes them
        {"\xFF", r},
        {"x\xC3", "x" + r},                   // cut short at the end
        {"\xC3(", r + "("},                   // a lead without its follower
        {"\xC0\xAF", r + r},                  // overlong
        {"\xED\xA0\x80", r + r + r},          // a surrogate
        {"\xF4\x90\x80\x80", r + r + r + r},  // beyond U+10FFFF
        {"\x80\xBF", r + r},                  // followers alone
    };
    for (const Case& c : cases) EXPECT_EQ(textio::validUtf8(c.text), c.valid) << c.text;
}
